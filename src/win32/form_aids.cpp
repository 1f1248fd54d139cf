// SPDX-License-Identifier: MIT
// The program's own voice and sound cues in the window: each step's sentence and cue handed to
// Windows' speech and sound while the pupil has them on, and their two switches, in the form's
// context menu (right click, Shift+F10, the Menu key) and in its system menu. What is said and
// which cue sounds are the session's; whether each is on is Feedback's.
#include "win32/form_window.h"

#include "reaction/lesson_texts.h"

namespace velmora::win32 {
namespace {

bool screenReaderRunning() {
    BOOL running = FALSE;
    return SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

} // namespace

UINT FormWindow::switchItem(Aid aid) { return kSwitchItems[static_cast<std::size_t>(aid)]; }

void FormWindow::appendSwitches(HMENU menu) const {
    for (const Aid aid : kAllAids)
        AppendMenuW(menu, MF_STRING | (feedback_.on(aid) ? MF_CHECKED : MF_UNCHECKED), switchItem(aid),
                    widen(aidSwitchText(session_.language(), aid)).c_str());
}

void FormWindow::addSwitchesToSystemMenu() {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    appendSwitches(menu);
}

bool FormWindow::contextMenu(LPARAM at) {
    // On the title bar or the frame it is the system menu's, which the system shows.
    if (at != -1 && DefWindowProcW(hwnd_, WM_NCHITTEST, 0, at) != HTCLIENT) return false;
    // The main button is down (a drag or a press under way): a right click leaves it alone.
    if (captured_) return true;
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {
        // Opened by the keyboard: at the focused control's top-left corner, else the form's.
        HWND focus = GetFocus();
        point = {};
        MapWindowPoints(controlOf(focus) != nullptr ? focus : hwnd_, nullptr, &point, 1);
    }
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return true;
    appendSwitches(menu);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0, hwnd_, nullptr));
    DestroyMenu(menu);
    switchCommand(chosen);
    return true;
}

bool FormWindow::switchCommand(UINT id) {
    for (const Aid aid : kAllAids)
        if (id == switchItem(aid)) {
            feedback_.toggle(aid);
            aidsChanged();
            return true;
        }
    return false;
}

void FormWindow::screenReaderChanged() {
    feedback_.setScreenReaderRunning(screenReaderRunning());
    aidsChanged();
}

void FormWindow::aidsChanged() {
    const bool voice = feedback_.on(Aid::Voice);
    if (voice && !speaker_ && aids_.speaker) speaker_ = aids_.speaker(session_.language());
    if (!voice && speaker_) speaker_->silence();
    if (feedback_.on(Aid::Sound) && !player_ && aids_.player) player_ = aids_.player();
    if (HMENU menu = GetSystemMenu(hwnd_, FALSE))
        for (const Aid aid : kAllAids)
            CheckMenuItem(menu, switchItem(aid), MF_BYCOMMAND | (feedback_.on(aid) ? MF_CHECKED : MF_UNCHECKED));
    if (voice && (!speaker_ || !speaker_->hasVoice()) && !noVoiceTold_) {
        noVoiceTold_ = true;
        showNotice(widen(noVoiceText(session_.language())));
    }
}

void FormWindow::speakAndSound(const LessonStep& step) {
    if (step.cue && player_ && feedback_.on(Aid::Sound)) player_->play(*step.cue);
    if (!step.voice.empty() && speaker_ && feedback_.on(Aid::Voice)) speaker_->speak(step.voice);
}

void FormWindow::showNotice(const std::wstring& text) {
    // Told as Windows tells a passing notice: a balloon over the form, the same words after the
    // stage in the form's description, and an announcement to a screen reader; no box to close.
    hideNotice();
    notice_ = text;
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    announcer_->say(narrow(text));
    balloon_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_BALLOON, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (balloon_ == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = hwnd_;
    tool.lpszText = notice_.data();
    SendMessageW(balloon_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(balloon_, TTM_SETMAXTIPWIDTH, 0, scale_.device(300));
    // Its tip at the middle of the form's top edge.
    RECT client{};
    GetClientRect(hwnd_, &client);
    POINT tip{client.right / 2, 0};
    ClientToScreen(hwnd_, &tip);
    SendMessageW(balloon_, TTM_TRACKPOSITION, 0, MAKELPARAM(tip.x, tip.y));
    SendMessageW(balloon_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::hideNotice() {
    if (balloon_ != nullptr) DestroyWindow(balloon_);
    balloon_ = nullptr;
}

} // namespace velmora::win32
