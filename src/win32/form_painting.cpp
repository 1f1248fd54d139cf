// SPDX-License-Identifier: MIT
#include "win32/form_window.h"

namespace velmora::win32 {

void FormWindow::paintFormBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    fillRect(dc, client, colorRef(session_.form().description().backColor));
}

LRESULT FormWindow::labelColours(HDC dc, HWND label) {
    const Control* control = controlOf(label);
    if (control == nullptr) return 0;
    const COLORREF back = colorRef(control->record().effectiveBackColor());
    SetTextColor(dc, colorRef(control->record().effectiveForeColor()));
    SetBkColor(dc, back);
    SetDCBrushColor(dc, back);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void FormWindow::paintPicture(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    // The sunken frame is drawn here, inside the window, so that a press on it is the control's.
    RECT inner;
    GetClientRect(hwnd, &inner);
    DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (const Control* control = controlOf(hwnd)) {
        const ControlRecord& record = control->record();
        IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        if (record.picture) {
            const ScaledPicture& picture = scaled_.at(static_cast<std::size_t>(*record.picture));
            picture.draw(dc, {inner.left, inner.top});
            const SIZE size = picture.size();
            ExcludeClipRect(dc, inner.left, inner.top, inner.left + size.cx, inner.top + size.cy);
        }
        fillRect(dc, inner, colorRef(record.effectiveBackColor()));
        SelectClipRgn(dc, nullptr);
        if (GetFocus() == hwnd && ringShown_) drawFocusRing(dc, inner, scale_);
    }
    EndPaint(hwnd, &paint);
}

LRESULT FormWindow::paintButton(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefSubclassProc(hwnd, WM_PAINT, wParam, lParam);
    if (GetFocus() == hwnd && ringShown_) {
        HDC dc = GetDC(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        drawFocusRing(dc, client, scale_);
        ReleaseDC(hwnd, dc);
    }
    return result;
}

void FormWindow::paintStrip(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin{};
    if (outline_) {
        const RECT ring = scale_.device(*outline_);
        origin = {ring.left, ring.top};
        MapWindowPoints(hwnd_, hwnd, &origin, 1);
    }
    drawOutlineStrip(dc, client, origin, scale_);
    EndPaint(hwnd, &paint);
}

void FormWindow::showOutline(const std::optional<PixelRect>& outline) {
    if (outline == outline_) return;
    outline_ = outline;
    if (!outline) {
        for (HWND strip : strips_) ShowWindow(strip, SW_HIDE);
        return;
    }
    const RECT r = scale_.device(*outline);
    const int t = outlineThickness(scale_);
    const RECT parts[4] = {{r.left, r.top, r.right, r.top + t},
                           {r.left, r.bottom - t, r.right, r.bottom},
                           {r.left, r.top + t, r.left + t, r.bottom - t},
                           {r.right - t, r.top + t, r.right, r.bottom - t}};
    // On top of every control; repainted where they land, so the dashes keep to the ring.
    HDWP moves = BeginDeferWindowPos(4);
    for (std::size_t i = 0; i < strips_.size() && moves != nullptr; ++i)
        moves = DeferWindowPos(moves, strips_[i], HWND_TOP, parts[i].left, parts[i].top, parts[i].right - parts[i].left,
                               parts[i].bottom - parts[i].top, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    if (moves != nullptr) EndDeferWindowPos(moves);
}

} // namespace velmora::win32
