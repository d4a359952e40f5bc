#!/usr/bin/python3
"""The real setup program as a screen reader meets it. Under an X server and a private
session bus of its own, with accessibility on, the program is read through AT-SPI (Debian's
pyatspi, the client library screen readers use): the test reads the accessible tree of each
page as the wizard walks, checks roles, names, descriptions and states, and walks the wizard
by the client's own actions (pressing buttons, setting the folder text) down to a finished
install from a small distribution laid out here. Only the check mark of a dictionary row is
set with the keyboard (the space bar, through xdotool), as a reader's user sets it.
Everything it writes lies in one temporary folder (HOME, XDG folders and the registry too).
Usage: screen_reader_test.py SETUP_PROGRAM"""
import os, shutil, subprocess, sys, tempfile, time, zipfile

if os.environ.get("QUINDOR_READER_BUS") != "private":
    # A session bus of its own: the accessibility bus it starts on demand is private too.
    os.environ["QUINDOR_READER_BUS"] = "private"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)

import pyatspi
from gi.repository import GLib

SETUP = os.path.abspath(sys.argv[1])
CODES = ["UK", "US", "DA", "NL", "DE", "FR", "PL", "RU", "CZ", "SK", "SI", "IT", "SP", "SE", "ZA"]
DICTIONARIES = ["British English", "American English", "Danish", "Dutch", "German", "French",
                "Polish", "Russian", "Czeck", "Slovak", "Slovenian", "Italian", "Spanish",
                "Swedish", "South-African"]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, flush=True)


def lay_out_distribution(folder):
    os.makedirs(folder)
    try:
        os.link(SETUP, f"{folder}/setup")  # the program finds its archives beside itself
    except OSError:
        shutil.copy2(SETUP, f"{folder}/setup")
    os.symlink("/usr/bin/unzip", f"{folder}/unzip")
    with zipfile.ZipFile(f"{folder}/QUINDOR.ZIP", "w") as archive:
        info = zipfile.ZipInfo("QUINDOR.EXE")
        info.external_attr = 0o755 << 16
        archive.writestr(info, "#!/bin/sh\n")
        archive.write("/usr/share/wine/fonts/tahoma.ttf", "TAHOMA.TTF")
        archive.write("/usr/share/wine/fonts/tahomabd.ttf", "TAHOMABD.TTF")
    for code in CODES:
        with zipfile.ZipFile(f"{folder}/{code}.ZIP", "w") as archive:
            archive.writestr(f"{code}.DIC", "word\n")
    with zipfile.ZipFile(f"{folder}/HTMLhelp.ZIP", "w") as archive:
        archive.writestr("INDEX.HTM", "<html></html>\n")


def start_x_server():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as answer:
        return server, ":" + answer.readline().strip()


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        pump()
        try:
            found = probe()
        except Exception:  # an object went away while it was read: read again
            found = None
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def states(node):
    return node.getState()


def has(node, state):
    return states(node).contains(state)


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(node, role, name=None):
    for child in descendants(node):
        if child.getRoleName() == role and (name is None or child.name == name):
            return child
    return None


def showing_window(app, name, *holding):
    """The showing window of that name; with holding, the one holding a control of that role
    and name (three pages are named "Installing")."""
    def probe():
        app.clearCache()
        for window in app:
            if (window is not None and window.name == name and has(window, pyatspi.STATE_SHOWING)
                    and (not holding or find(window, *holding) is not None)):
                return window
        return None
    return wait_for(f"the window '{name}'", probe)


def press(node, name):
    button = find(node, "push button", name)
    check(button is not None, f"a push button named '{name}' on '{node.name}'")
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, f"'{name}' offers the press action ({names})")
    action.doAction(names.index("Press"))


def check_common(window, role, name):
    check(window.getRoleName() == role, f"'{name}' is a {role} (is {window.getRoleName()})")
    for node in window:
        role_name = node.getRoleName()
        check(role_name not in ("image", "filler"), f"no picture or filler on '{name}' ({role_name})")
    for node in descendants(window):
        role_name = node.getRoleName()
        if role_name in ("push button", "radio button", "check box", "combo box", "list item"):
            check(node.name != "", f"the {role_name} on '{name}' has a name")


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return []


def welcome_page(app):
    window = showing_window(app, "Welcome to the Quindor installation program")
    check_common(window, "frame", window.name)
    check([c.name for c in window if c.getRoleName() == "push button"] == ["Cancel", "Next>"],
          "the welcome page's buttons, in tab order")
    text = find(window, "text")
    check(text is not None and "This program will install Quindor on" in
          text.queryText().getText(0, -1), "the welcome text reads as text")
    check(text is not None and not has(text, pyatspi.STATE_EDITABLE), "the welcome text is read-only")
    install, uninstall = find(window, "radio button", "Install"), find(window, "radio button", "Uninstall")
    check(install is not None and has(install, pyatspi.STATE_CHECKED), "'Install' is checked")
    check(uninstall is not None and not has(uninstall, pyatspi.STATE_CHECKED), "'Uninstall' is not")
    press(window, "Cancel")
    confirmation = showing_window(app, "Exit setup")
    check_common(confirmation, "dialog", "Exit setup")
    check(has(confirmation, pyatspi.STATE_MODAL), "the exit confirmation is modal")
    check(find(confirmation, "label") is not None and "Resume" in find(confirmation, "label").name,
          "the exit confirmation's text is read")
    press(confirmation, "Resume")
    wait_for("the confirmation to close", lambda: not has(confirmation, pyatspi.STATE_SHOWING))
    press(window, "Next>")


def language_page(app, target):
    window = showing_window(app, "Installing", "combo box")
    check_common(window, "frame", "Installing")
    combo = find(window, "combo box")
    check(combo is not None and labelled_by(combo) == ["Quindor Screen language"],
          "the combo box is labelled by 'Quindor Screen language'")
    folder = find(window, "text", "Install to:")
    check(folder is not None, "the folder box is named by its label")
    check(folder is not None and labelled_by(folder) == ["Install to:"], "the folder box is labelled by 'Install to:'")
    chooser_button = find(window, "push button", "Choose Module folder")
    check(chooser_button is not None and chooser_button.description == "Choose Module folder",
          "the folder button is described by its hint")
    folder.queryEditableText().setTextContents(target)
    press(window, "Choose Module folder")
    chooser = showing_window(app, target)  # the chooser's caption is the selected folder
    check_common(chooser, "dialog", "the folder chooser")
    tree = find(chooser, "tree")
    check(tree is not None, "the chooser holds a tree")
    chosen = wait_for("the focus on the chosen folder", lambda: next(
        (n for n in descendants(tree) if has(n, pyatspi.STATE_FOCUSED)), None))
    check(chosen.name == os.path.basename(target), f"the focus is on the selected folder ({chosen.name})")
    check(has(chosen, pyatspi.STATE_SELECTED), "the focused folder is selected")
    computer = find(tree, chosen.getRoleName(), "Computer")
    check(computer is not None and has(computer, pyatspi.STATE_EXPANDED), "'Computer' is expanded")
    rows = [n for n in descendants(tree) if n.getRoleName() == chosen.getRoleName()]
    check(all(has(r, pyatspi.STATE_EXPANDABLE) for r in rows if has(r, pyatspi.STATE_EXPANDED)),
          "every expanded folder is expandable")
    check(not has(chosen, pyatspi.STATE_EXPANDABLE), "the chosen folder, empty, is not expandable")
    press(chooser, "Accept")
    wait_for("the folder text", lambda: folder.queryText().getText(0, -1) == target + "/Quindor/")
    press(window, "Next>")


def dictionary_page(app):
    window = showing_window(app, "Installing", "list item", "British English")
    rows = wait_for("the dictionary rows", lambda: [n for n in descendants(window) if n.getRoleName() == "list item"])
    check([r.name for r in rows] == DICTIONARIES, "the dictionary rows, in order")
    check(not any(has(r, pyatspi.STATE_CHECKED) for r in rows), "every row is unmarked")
    find(window, "list").queryComponent().grabFocus()
    wait_for("the focus in the list", lambda: has(find(window, "list"), pyatspi.STATE_FOCUSED))
    subprocess.run(["xdotool", "key", "space"], check=True)
    wait_for("the first row marked", lambda: has(rows[0], pyatspi.STATE_CHECKED))
    check([has(r, pyatspi.STATE_CHECKED) for r in rows] == [True] + [False] * 14, "only the first row is marked")
    press(window, "Next>")


def shortcut_page(app):
    window = showing_window(app, "Installing", "check box", "Add to desktop")
    boxes = wait_for("the shortcut boxes", lambda: [n for n in descendants(window) if n.getRoleName() == "check box"])
    check([(b.name, has(b, pyatspi.STATE_CHECKED)) for b in boxes] ==
          [("Add to desktop", True), ("Add to Start menu", False), ("Add to Programs", True)],
          "the shortcut boxes with their marks")
    press(window, "Install")


def closing_pages(app):
    finish = showing_window(app, "Finishing Marlo installation")
    check_common(finish, "frame", finish.name)
    check(find(finish, "label", "You have successfully installed Quindor.") is not None, "the outcome is read")
    log = showing_window(app, "Install Quindor 1.2")
    rows = [n.name for n in descendants(log) if n.getRoleName() == "list item"]
    check(rows[:1] == ["Extracting Quindor file..."] and "Creating shortcuts" in rows, "the log's rows are read")
    press(finish, "Finish")


def main():
    root = tempfile.mkdtemp(prefix="quindor-reader-", dir=os.getcwd())
    server = program = None
    try:
        lay_out_distribution(f"{root}/dist")
        os.makedirs(f"{root}/home/target")
        server, display = start_x_server()
        env = dict(os.environ, HOME=f"{root}/home", XDG_CONFIG_HOME=f"{root}/home/.config",
                   XDG_DATA_HOME=f"{root}/home/.local/share", XDG_CACHE_HOME=f"{root}/home/.cache",
                   MARLO_REGISTRY_DIR=f"{root}/registry", DISPLAY=display,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        os.environ["DISPLAY"] = display  # for xdotool
        program = subprocess.Popen([f"{root}/dist/setup"], env=env, cwd=root)
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("the setup program on the bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "setup"), None))
        welcome_page(app)
        language_page(app, f"{root}/home/target")
        dictionary_page(app)
        shortcut_page(app)
        closing_pages(app)
        check(program.wait(timeout=20) == 0, "'Finish' ends the program")
        check(os.path.exists(f"{root}/home/target/Quindor/QUINDOR.EXE"), "the product is installed")
    finally:
        if program is not None and program.poll() is None:
            program.kill()
        if server is not None:
            server.terminate()
            server.wait()
        shutil.rmtree(root, ignore_errors=True)
    if failures:
        print(f"{len(failures)} check(s) failed")
        sys.exit(1)
    print("every page read and walked through AT-SPI")


main()
