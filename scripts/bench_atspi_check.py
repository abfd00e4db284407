#!/usr/bin/python3
"""Works the bench window through the accessibility bus, as a screen reader
user would, with the tool running on the simulated adapter beside it, and
checks each step from outside: `tvxsim state` for the adapter, the tool's
event log (its list named "Event log") for what the tool saw.

Run by scripts/bench-atspi-check.sh, which starts the display, the buses,
the tool and the bench window. Prints one "ok"/"FAILED" line per check and
"N passed, N failed" at the end; exit 1 when a check failed."""
import os
import socket
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)  # the bindings' older names
TVXSIM = sys.argv[1]
results = {"passed": 0, "failed": 0}


def check(what, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok      " if ok else "FAILED  ") + what + ("" if ok or not detail else "  (" + detail + ")"), flush=True)


def app(name, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            a = desktop.get_child_at_index(i)
            if a is not None and a.get_name() == name:
                return a
        time.sleep(0.2)
    raise SystemExit(name + " is not on the accessibility bus")


def find(root, role=None, name=None, depth=16):
    found = []

    def walk(node, d):
        try:
            r, n = node.get_role_name(), node.get_name()
        except Exception:  # a node that went away meanwhile
            return
        if (role is None or r == role) and (name is None or n == name):
            found.append(node)
        if d < depth:
            for i in range(node.get_child_count()):
                child = node.get_child_at_index(i)
                if child is not None:
                    walk(child, d + 1)

    walk(root, 0)
    return found


def one(root, role, name):
    nodes = find(root, role, name)
    if len(nodes) != 1:
        raise SystemExit("%d %s named %r" % (len(nodes), role, name))
    return nodes[0]


def press(node):
    action = node.get_action_iface()
    names = [action.get_action_name(i) for i in range(action.get_n_actions())]
    action.do_action(names.index("Press") if "Press" in names else 0)


def press_later(node_path):
    """A press that opens a modal dialog answers only when it closes: made
    from a process of its own."""
    return subprocess.Popen([sys.executable, __file__, TVXSIM, "--press"] + node_path)


def state(name):
    out = subprocess.run([TVXSIM, "state"], capture_output=True, text=True, timeout=10).stdout
    for line in out.splitlines():
        if line.startswith(name + " "):
            return line[len(name) + 1 :]
    return "?"


def wait_state(name, value, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        if state(name) == value:
            return True
        time.sleep(0.1)
    return False


def tool_log(tool):
    log = one(tool, "list", "Event log")
    return [log.get_child_at_index(i).get_name() for i in range(log.get_child_count())]


def wait_logged(tool, start, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        if any(line.startswith(start) for line in tool_log(tool)):
            return True
        time.sleep(0.2)
    return False


def main():
    if len(sys.argv) > 2 and sys.argv[2] == "--press":
        application, role, name = sys.argv[3:6]
        press(one(app(application), role, name))
        return 0
    tool = app("tvxmonitor")
    bench = app("tvxsim-panel")
    hidden = [n.get_name() for n in find(tool) if n.get_name() in ("Dial to Destination Country", "Check2")]
    check("the tool offers none of the controls its window hides", not hidden, str(hidden))
    status = find(one(bench, "status bar", ""), "label")
    end = time.time() + 20
    while not any(s.get_name().startswith("Connected") for s in status) and time.time() < end:
        time.sleep(0.2)
        status = find(one(bench, "status bar", ""), "label")
    check("the bench window is connected", any(s.get_name().startswith("Connected") for s in status))

    press(one(bench, "push button", "Call the adapter"))
    check("Call the adapter: the line rings", wait_state("call", "ringing"), state("call"))
    check("the tool logs \"Caller ID\"", wait_logged(tool, "Caller ID"))
    check("the tool logs \"Ivor Kell at 7964710 - ...\"", wait_logged(tool, "Ivor Kell at 7964710 - "))
    check("the handset's display", state("display").startswith("Ivor Kell, 7964710, "), state("display"))

    press(one(bench, "push button", "Lift"))
    check("Lift: phone offhook", wait_state("phone", "offhook"), state("phone"))
    check("Lift answers the call", wait_state("call", "connected"), state("call"))
    check("the tool logs the answer", wait_logged(tool, "Off Hook [Phone]"))

    one(bench, "text", "DTMF digits:").get_editable_text_iface().set_text_contents("59")
    press(one(bench, "push button", "Send DTMF"))
    check("Send DTMF: the tool logs 5", wait_logged(tool, "DTMF digit detected: 5"))
    check("Send DTMF: the tool logs 9", wait_logged(tool, "DTMF digit detected: 9"))

    press(one(bench, "push button", "Hang up"))
    check("Hang up: phone onhook", wait_state("phone", "onhook"), state("phone"))
    check("the call ends", wait_state("call", "idle"), state("call"))

    # The tool's own LEDs test, worked through the bus too; the bench window's lamps follow.
    dialog = press_later(["tvxmonitor", "menu item", "LEDs Test ..."])
    end = time.time() + 15
    leds = []
    while not leds and time.time() < end:
        leds = [d for d in find(tool, "dialog", depth=2) if d.get_name() == "Parlino LEDs Test"]
        time.sleep(0.2)
    check("the tool's LEDs test opens", bool(leds))
    if leds:
        boxes = sorted(n.get_name() for n in find(leds[0], "check box"))
        named = sorted(["Enable Test", "LED (Power)"] + ["LED %d" % i for i in range(2, 8)])
        check("the LEDs test's boxes are told apart: LED 2 to LED 7", boxes == named, str(boxes))
        press(one(leds[0], "check box", "Enable Test"))
        press(one(leds[0], "check box", "LED (Power)"))
        press(one(leds[0], "check box", "LED 4"))
        check("tvxsim state: leds 0x89", wait_state("leds", "0x89"), state("leds"))
        time.sleep(0.5)
        lamps = {n.get_name(): n.get_description() for n in find(bench, "filler") if n.get_name().startswith("LED ")}
        lit = ("LED Power", "LED Test", "LED 4")
        check(
            "the bench window's lamps: Power, Test and LED 4 lit, the others dark",
            all(lamps.get(k) == "lit" for k in lit) and all(v == "dark" for k, v in lamps.items() if k not in lit),
            str(lamps),
        )
        press(one(leds[0], "check box", "LED 4"))
        press(one(leds[0], "check box", "LED (Power)"))
        press(one(leds[0], "check box", "Enable Test"))
        check("tvxsim state: leds 0x00 again", wait_state("leds", "0x00"), state("leds"))
    dialog.kill()
    dialog.wait()

    # The Line tab's switch, with a loopback account that `line sip on` reads.
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    folder = os.path.join(os.environ["XDG_CONFIG_HOME"], "tvxusb")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "line.conf"), "w") as conf:
        conf.write("account = sip:line@127.0.0.1:5072\nlisten = 127.0.0.1:%d\npeers = 127.0.0.1\n" % port)
    switch = one(bench, "check box", "SIP line")
    press(switch)
    check("SIP line on: far-end is the account", wait_state("far-end", "sip:line@127.0.0.1:5072"), state("far-end"))
    time.sleep(0.5)
    check("the switch reads checked", switch.get_state_set().contains(Atspi.StateType.CHECKED))
    press(switch)
    check("SIP line off: far-end is the exchange", wait_state("far-end", "exchange"), state("far-end"))
    time.sleep(0.5)
    check("the switch reads unchecked", not switch.get_state_set().contains(Atspi.StateType.CHECKED))

    print("%d passed, %d failed" % (results["passed"], results["failed"]))
    return 1 if results["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
