#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The real program under a real X server and accessibility bus: what a pupil and a screen reader
get. Run as: lesson_e2e.py CASE VELMORA LESSON_SENTENCES (tests/e2e/CMakeLists.txt does)."""

import os
import re
import socket
import subprocess

from e2e_support import Failure, Lesson, check, main, wait_for

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def tab_to(lesson, name):
    for _ in range(8):
        if lesson.focus() == name:
            return
        before = lesson.focus()
        lesson.keys("Tab")
        wait_for(lambda: lesson.focus() != before, "the focus to move on Tab")
    check(lesson.focus() == name, f"Tab never reached {name}")


def bind_by_keyboard(lesson, said):
    tab_to(lesson, said["Picture2"])
    lesson.keys("space")
    heard = lesson.hear(said["PickedUp"])
    lesson.keys(*said["Route"].split())
    heard = lesson.hear(said["OverTarget"], heard)
    lesson.keys("space")
    return lesson.hear(said["Bound"], heard)


def where_am_i(lesson, *answers):
    """Presses F1 and returns the answer, once everything said before it has been heard."""
    heard = len(lesson.heard)
    lesson.keys("F1")
    return wait_for(lambda: next((a for a in answers if a in lesson.heard[heard:]), None), f"an answer to F1 among {answers}")


def keyboard_lesson(program, said):
    with Lesson(program) as lesson:
        check(lesson.focus() == said["Picture1"], "the first focus is not on the enzyme")
        heard = bind_by_keyboard(lesson, said)
        lesson.keys("Return")  # on the complex, which has the focus now
        heard = lesson.hear(said["Released"], heard)
        check(lesson.focus() == said["Command1"], "the focus did not go on to Reset")
        lesson.keys("space")
        heard = lesson.hear(said["Reset"], heard)
        for put_down in ("space", "Escape"):  # a drop where it is, off the enzyme; a cancel
            tab_to(lesson, said["Picture2"])
            lesson.keys("space")
            heard = lesson.hear(said["PickedUp"], heard)
            lesson.keys(put_down)
            heard = lesson.hear(said["Missed" if put_down == "space" else "Cancelled"], heard)
        where_am_i(lesson, said["Apart"])
        print("Heard over AT-SPI:")
        for sentence in lesson.heard:
            print("  " + sentence)
        expected = [said[k] for k in ("PickedUp", "OverTarget", "Bound", "Released", "Reset", "PickedUp", "Missed",
                                      "PickedUp", "Cancelled", "Apart")]
        check(lesson.heard == expected, "the transcript is not each step once, in order")


def keyboard_lesson_translated(program, said):
    """The same lesson in the language LANGUAGE names (tests/e2e/CMakeLists.txt sets it and LANG):
    the controls' names and the sentences it must hear are that language's, and the arrow keys
    move the substrate the way they point, in a language written right to left too."""
    asked = os.environ.get("LANGUAGE", "")
    check(said["Language"] == asked, f"the lesson's texts are in {said['Language']!r}, not {asked!r}")
    check(said["Picture1"] != "Enzyme", f"the enzyme is named {said['Picture1']!r}, the English name")
    keyboard_lesson(program, said)


def spoken(lesson, said, sentence):
    """Waits until speech-dispatcher has been asked to say `sentence`, and checks that everything
    it was asked was in the lesson's language."""
    wait_for(lambda: sentence in lesson.speech.said()[1], f"{sentence!r} to be spoken")
    languages, text = lesson.speech.said()
    print(f"Spoken in {sorted(languages)}: {text}")
    check(languages == {said["Language"]}, f"spoken in {languages}, not in {said['Language']!r}")
    return text


def voice_preset(program, said):
    """--voice, with no screen reader running: the pick-up is spoken (tests/e2e/CMakeLists.txt
    runs it in German)."""
    with Lesson(program, args=["--voice"], screen_reader=False, speech=True) as lesson:
        tab_to(lesson, said["Picture2"])
        lesson.keys("space")
        spoken(lesson, said, said["PickedUp"])


def voice_switch(program, said):
    """Nothing is spoken, neither without --voice (no screen reader running) nor with it while a
    screen reader runs, until the window's menu (the Menu key, its first item) turns the voice on;
    then a pick-up is all that is spoken."""
    for args, screen_reader in (([], False), (["--voice"], True)):
        with Lesson(program, args=args, screen_reader=screen_reader, speech=True) as lesson:
            tab_to(lesson, said["Picture2"])
            lesson.keys("space")
            heard = lesson.hear(said["PickedUp"])
            lesson.keys("Escape")
            lesson.hear(said["Cancelled"], heard)
            lesson.keys("Menu")
            wait_for(lambda: len(lesson.windows()) > 1, "the menu to open")
            lesson.keys("Down", "Return")
            wait_for(lambda: len(lesson.windows()) == 1, "the menu to close")
            lesson.keys("space")
            text = spoken(lesson, said, said["PickedUp"])
            check(text == said["PickedUp"], f"{args}, screen reader {screen_reader}: more was spoken than the pick-up")


def voice_gone(program, said):
    """speech-dispatcher ends in the middle of a lesson with the voice on: the lesson plays on."""
    with Lesson(program, args=["--voice"], screen_reader=False, speech=True) as lesson:
        tab_to(lesson, said["Picture2"])
        lesson.keys("space")
        spoken(lesson, said, said["PickedUp"])
        # Asked to end, speech-dispatcher first waits for its synthesizer, which on a loaded
        # machine can take seconds: then it is ended outright, as a crash would end it.
        lesson.speech.process.terminate()
        try:
            lesson.speech.process.wait(5)
        except subprocess.TimeoutExpired:
            lesson.speech.process.kill()
            lesson.speech.process.wait(5)
        heard = len(lesson.heard)
        for key, sentence in (("Escape", "Cancelled"), ("space", "PickedUp"), ("Escape", "Cancelled")):
            lesson.keys(key)
            heard = lesson.hear(said[sentence], heard)
        check(lesson.app.poll() is None, f"the program ended with status {lesson.app.returncode}")


def focus_ring(program, said):
    from Xlib import X, display

    colour = tuple(int(c) for c in said["FocusRing"].split())
    with Lesson(program) as lesson:
        x, y, w, h = lesson.extents(said["Picture1"])
        screen = display.Display(lesson.env["DISPLAY"])

        def ring_pixels():
            image = screen.screen().root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
            pixels = zip(image[2::4], image[1::4], image[0::4])  # 32-bit BGRX
            return sum(1 for p in pixels if p == colour)

        # The band is 3 px wide all round the inside of the frame: at least its length twice over.
        wait_for(lambda: ring_pixels() >= 2 * (w + h) * 2, f"the focus ring's colour {colour} round the enzyme", 5)
        screen.close()


def unserved_display():
    """An X display nobody serves: its TCP port is held here, bound but never listening, so a
    connection is refused. Returns the display name and the socket that holds the port."""
    for number in range(100, 200):
        port = socket.socket()
        try:
            port.bind(("127.0.0.1", 6000 + number))
            return f"127.0.0.1:{number}", port
        except OSError:
            port.close()
    raise Failure("no free X display port in 6100-6199")


def no_display(program, said):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    unserved, held = unserved_display()
    for what, extra in (("no DISPLAY", {}), (f"DISPLAY={unserved}, which nobody serves", {"DISPLAY": unserved})):
        run = subprocess.run([program], env=dict(env, **extra), capture_output=True, text=True, timeout=30)
        lines = run.stderr.splitlines()
        print(f"{what}: status {run.returncode}, stderr {lines}")
        check(run.returncode == 1, f"{what}: status {run.returncode}, not 1")
        check(len(lines) == 1 and lines[0].startswith("velmora: cannot open a display"),
              f"{what}: stderr is not the one line")
        check("Reinstalling" not in run.stderr, f"{what}: Qt's advice about reinstalling got through")
    held.close()


def chord(lesson, first, second):
    """Right button down on `first`, then a left click on `second`, then the right button up."""
    (fx, fy), (sx, sy) = lesson.centre(first), lesson.centre(second)
    lesson.xdotool("mousemove", fx, fy, "mousedown", 3, "sleep", .1, "mousemove", sx, sy, "sleep", .1, "mousedown", 1,
                   "sleep", .1, "mouseup", 1, "mouseup", 3)


def chord_on_substrate(program, said):
    with Lesson(program) as lesson:
        chord(lesson, said["Picture2"], said["Picture1"])
        where_am_i(lesson, said["Apart"])
        check(lesson.heard == [said["Apart"]], f"the chord was heard: {lesson.heard}")
        check(lesson.stage() == said["Apart"], f"the stage is {lesson.stage()!r}")
        check({said["Picture2"], said["Picture1"]} <= lesson.showing(), f"showing: {lesson.showing()}")


def reset_with_right_held(program, said):
    with Lesson(program) as lesson:
        (sx, sy), (ex, ey) = lesson.centre(said["Picture2"]), lesson.centre(said["Picture1"])
        lesson.xdotool("mousemove", sx, sy, "mousedown", 1, "sleep", .1, "mousemove", (sx + ex) // 2, (sy + ey) // 2,
                       "sleep", .1, "mousemove", ex, ey, "sleep", .1, "mouseup", 1)
        heard = lesson.hear(said["Bound"])
        chord(lesson, said["Picture4"], said["Command1"])
        lesson.hear(said["Reset"], heard)
        check(lesson.stage() == said["Apart"], f"the stage is {lesson.stage()!r}")


class KeyPresses:
    """Counts the presses of one key that the X server delivers to the window: key events go to
    every client that asks for them."""

    def __init__(self, lesson, keysym):
        from Xlib import X, display

        self.x = display.Display(lesson.env["DISPLAY"])
        self.x.create_resource_object("window", int(lesson.window)).change_attributes(event_mask=X.KeyPressMask)
        self.x.sync()
        self.keycode, self.press, self.count = self.x.keysym_to_keycode(keysym), X.KeyPress, 0

    def __call__(self):
        while self.x.pending_events():
            event = self.x.next_event()
            self.count += event.type == self.press and event.detail == self.keycode
        return self.count


def held_enter(program, said):
    holds = int(os.environ.get("VELMORA_E2E_HOLDS", "5"))
    stages = (said["Apart"], said["Bound stage"], said["Released stage"])
    ended = []
    with Lesson(program, key_repeat=(100, 50)) as lesson:  # repeats after 100 ms, 50 a second
        presses = KeyPresses(lesson, 0xFF0D)  # Return
        for _ in range(holds):
            bind_by_keyboard(lesson, said)
            before = presses()
            lesson.xdotool("keydown", "Return")  # on the complex, which releases; then on Reset
            wait_for(lambda: presses() >= before + 5, "four repeats of the held Enter", 5)
            lesson.xdotool("keyup", "Return")
            ended.append(where_am_i(lesson, *stages))
            if ended[-1] != said["Apart"]:  # back to the start for the next hold
                heard = len(lesson.heard)
                lesson.xdotool("mousemove", *lesson.centre(said["Command1"]), "click", 1)
                lesson.hear(said["Reset"], heard)
        presses.x.close()
    released = ended.count(said["Released stage"])
    print(f"{released} of {holds} ended released")
    check(released == holds, f"the holds ended at: {sorted(set(ended))}")


def destroyed_window(program, said):
    from Xlib import display

    with Lesson(program) as lesson:
        other = display.Display(lesson.env["DISPLAY"])
        other.create_resource_object("window", int(lesson.window)).destroy()
        other.sync()
        status = lesson.ended(1.0)
        other.close()
        check(status == 0, f"status {status} (None: still running after 1 s)")


def wm_class(program, said):
    with open(os.path.join(SOURCE, "packaging/velmora.desktop")) as f:
        entry = re.search(r"^StartupWMClass=(.*)$", f.read(), re.M)
    with Lesson(program) as lesson:
        shown = subprocess.run(["xprop", "-id", lesson.window, "WM_CLASS"], env=lesson.env, capture_output=True,
                               text=True, check=True).stdout
    classes = re.findall(r'"([^"]*)"', shown)
    print(f"WM_CLASS {classes}; StartupWMClass {entry.group(1) if entry else None}")
    check(len(classes) == 2, f"WM_CLASS is {shown!r}")
    check(entry and entry.group(1) == classes[1], "StartupWMClass is not the window's class")


if __name__ == "__main__":
    main({"keyboard_lesson": keyboard_lesson, "keyboard_lesson_translated": keyboard_lesson_translated,
          "focus_ring": focus_ring, "no_display": no_display,
          "chord": chord_on_substrate, "reset_with_right_held": reset_with_right_held, "held_enter": held_enter,
          "destroyed_window": destroyed_window, "wm_class": wm_class, "voice_preset": voice_preset,
          "voice_switch": voice_switch, "voice_gone": voice_gone})
