#!/usr/bin/env bash
# Checks the tracked sources and build files against the rules that a compiler
# does not see: the one code style of .clang-format, and the layering that
# the README's Layout section gives:
#   - a module includes and links only its own files and those of lower floors;
#   - no module includes simulator/, tests/, fuzz/, bench/ or tools/;
#   - only device/ (and simulator/, tests/, fuzz/, bench/) includes device/tvxusb.h;
#   - device/ includes no header of Qt's widget and GUI modules;
#   - only device/Adapter.* calls the library's Sc* functions (beside the
#     tool, the simulator, the tests, the fuzzers and the benchmarks call
#     them too);
#   - the logic/ folders of the modules (and the bench window's) include no Qt;
#   - the simulator's rooms stand on floors of their own: a room includes
#     and links only its own files and those of lower floors; the console
#     (control/) reaches the model only through its door; tvxsim (runner/)
#     and the bench window (benchwindow/) are clients that take the control
#     socket's client and nothing of the library's inside; of the tool, the
#     simulator includes only the library's header and device/logic/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

failed=0
fail() {
    echo "$1" >&2
    failed=1
}

if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
    echo "Sources: style clean."
else
    fail "Sources: not in the style of .clang-format (see above)."
fi

# The modules by floor, lowest first: keep in step with the README.
floors=("device res" "ui log" "commands panel dialogs" "app")
declare -A floor_of
for floor in "${!floors[@]}"; do
    for module in ${floors[$floor]}; do
        floor_of[$module]=$floor
    done
done

# Every quoted include of a module's file: "file:line:included path".
while IFS=: read -r file line included; do
    from="${file%%/*}"
    to="${included%%/*}"
    from_floor="${floor_of[$from]:-}"
    to_floor="${floor_of[$to]:-}"
    [[ -z "$from_floor" || "$from" == "$to" ]] && continue
    case "$to" in
    simulator | tests | fuzz | bench | tools)
        fail "$file:$line: $from/ includes $included, which lies beside the tool, not below it" ;;
    esac
    if [[ -n "$to_floor" && "$to_floor" -ge "$from_floor" ]]; then
        fail "$file:$line: $from/ includes $included from a module on its own floor or above it"
    fi
done < <(git grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' -- '*.cpp' '*.h' |
         sed -E 's/^([^:]+):([0-9]+):[^"]*"([^"]+)".*/\1:\2:\3/')

# Every library a module's CMakeLists.txt links: "file:target". A module's
# targets are named after it (device, device_logic, ...).
while IFS=: read -r file linked; do
    from="${file%%/*}"
    to="${linked%_logic}"
    [[ -z "${floor_of[$to]:-}" || "$from" == "$to" ]] && continue
    if [[ "${floor_of[$to]}" -ge "${floor_of[$from]}" ]]; then
        fail "$file: $from/ links $linked from a module on its own floor or above it"
    fi
done < <(for module in "${!floor_of[@]}"; do git ls-files -- "$module/*CMakeLists.txt"; done | xargs perl -ne '
    BEGIN { undef $/; }
    while (/target_link_libraries\s*\(\s*\S+([^)]*)\)/g) {
        print "$ARGV:$_\n" for grep { /^\w+$/ } split /\s+/, $1;
    }')

while IFS=: read -r file line _; do
    case "${file%%/*}" in
    device | simulator | tests | fuzz | bench) ;;
    *) fail "$file:$line: includes device/tvxusb.h; only device/ talks to the library" ;;
    esac
done < <(git grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"device/tvxusb\.h"' -- '*.cpp' '*.h' || true)

# device/ holds the device only: no widget, no clipboard, no window. Every
# class header of QtWidgets and QtGui counts, read from the Qt installed;
# the names listed here count wherever that is not found.
declare -A gui_header=()
for name in QWidget QApplication QGuiApplication QMenu QMenuBar QAction QMessageBox QFileDialog QDialog \
            QClipboard QShortcut QListView QLineEdit QLabel QComboBox QAbstractButton QPushButton QCheckBox \
            QSlider QWindow QScreen QCursor QPainter; do
    gui_header[$name]=1
done
qt_headers="$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null || true)"
for module in QtWidgets QtGui; do
    [[ -n "$qt_headers" && -d "$qt_headers/$module" ]] || continue
    for path in "$qt_headers/$module"/Q*; do
        [[ "$path" == *.h ]] || gui_header[${path##*/}]=1
    done
done
while IFS=: read -r file line included; do
    name="${included##*/}"
    if [[ "${included%%/*}" == QtWidgets || "${included%%/*}" == QtGui || -n "${gui_header[$name]:-}" ]]; then
        fail "$file:$line: device/ includes <$included>; the user interface lies above the device"
    fi
done < <(git grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Qt?[A-Z]' -- 'device/' |
         sed -E 's/^([^:]+):([0-9]+):[^<]*<([^>]+)>.*/\1:\2:\3/')

# Sc* calls, with comments, strings and character literals taken out first.
# The library's header only declares them.
while IFS= read -r hit; do
    fail "$hit: calls the library; only device/Adapter.* does"
done < <(git ls-files -- '*.cpp' '*.h' ':!device/Adapter.cpp' ':!device/Adapter.h' ':!device/tvxusb.h' \
             ':!simulator/' ':!tests/' ':!fuzz/' ':!bench/' | xargs perl -ne '
    BEGIN { undef $/; }
    my $text = $_;
    $text =~ s{//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|'"'"'(?:\\.|[^'"'"'\\\n])*'"'"'}{
        my $n = ($& =~ tr/\n//); $n ? "\n" x $n : " " }gse;
    my $number = 0;
    for my $line (split /\n/, $text, -1) {
        ++$number;
        print "$ARGV:$number: $1\n" if $line =~ /\b(Sc[A-Z]\w*)\s*\(/;
    }')

while IFS=: read -r file line _; do
    fail "$file:$line: logic/ includes Qt; pure logic has none"
done < <(git grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' -- \
             'device/logic/' 'commands/logic/' 'panel/logic/' 'dialogs/logic/' \
             'simulator/benchwindow/logic/' 'simulator/logic/' 'simulator/sip/logic/' || true)

# The simulator's rooms by floor, lowest first: keep in step with the README.
# "library" is the files directly in simulator/ (the session, the driver,
# the C functions and the GUI glue).
sim_floors=("logic" "engine" "media audio sip" "control" "library")
declare -A sim_floor_of
for floor in "${!sim_floors[@]}"; do
    for room in ${sim_floors[$floor]}; do
        sim_floor_of[$room]=$floor
    done
done
# The clients beside the library: what each may include besides its own room.
declare -A sim_client_may=(
    [runner]="logic engine media control/ControlPath.h control/ScriptClient.h"
    [benchwindow]="logic control/ControlPath.h control/ScriptClient.h"
)
sim_room() {
    local rest="${1#simulator/}"
    [[ "$rest" == */* ]] && echo "${rest%%/*}" || echo library
}
sim_may_include() {  # client, included path below simulator/
    local allowed
    for allowed in ${sim_client_may[$1]}; do
        [[ "$2" == "$allowed" || "$2" == "$allowed"/* ]] && return 0
    done
    return 1
}
while IFS=: read -r file line included; do
    from="$(sim_room "$file")"
    if [[ "$included" != simulator/* ]]; then
        case "$included" in
        device/tvxusb.h | device/logic/*) ;;
        res/ControlAccessibility.h) [[ "$from" == benchwindow ]] ||
            fail "$file:$line: simulator/$from includes $included; only the bench window takes the tool's accessibility helpers" ;;
        *) fail "$file:$line: includes $included; of the tool, the simulator takes only device/tvxusb.h and device/logic/" ;;
        esac
        continue
    fi
    to="$(sim_room "$included")"
    [[ "$from" == "$to" ]] && continue
    if [[ -n "${sim_client_may[$to]:-}" ]]; then
        fail "$file:$line: simulator/$from includes $included; nothing includes a client of the library"
    elif [[ -n "${sim_client_may[$from]:-}" ]]; then
        sim_may_include "$from" "${included#simulator/}" ||
            fail "$file:$line: simulator/$from includes $included, which lies inside the library"
    elif [[ -z "${sim_floor_of[$from]:-}" || -z "${sim_floor_of[$to]:-}" ]]; then
        fail "$file:$line: simulator/$from or simulator/$to has no floor; give it one here and in the README"
    elif [[ "$from" == control && "$to" != logic ]]; then
        fail "$file:$line: the console includes $included; it reaches the model only through its door"
    elif [[ "${sim_floor_of[$to]}" -ge "${sim_floor_of[$from]}" ]]; then
        fail "$file:$line: simulator/$from includes $included from a room on its own floor or above it"
    fi
done < <(git grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' -- 'simulator/*.cpp' 'simulator/*.h' |
         sed -E 's/^([^:]+):([0-9]+):[^"]*"([^"]+)".*/\1:\2:\3/')

# The simulator's targets by room; a target links only its own room's and
# lower floors' (a client: the rooms it may include).
declare -A sim_target_room=(
    [tvxsim_wire]=logic [tvxsim_logic]=logic [tvxsim_engine]=engine [tvxsim_client]=control
    [tvxsim_control]=control [tvxsim_media]=media [tvxsim_audio]=audio [tvxusb_sound]=audio
    [tvxsim_sip]=sip [tvxsim_sip_logic]=sip [tvxsim_sip_config]=sip [tvxusb_sip]=sip [tvxusb_core]=library [tvxusb_headless]=library [tvxusb_painter]=library [tvxusb]=library
    [tvxsim_runner]=runner [tvxsim]=runner [benchwindow_logic]=benchwindow [benchwindow]=benchwindow
    [tvxsim-panel]=benchwindow
)
while IFS=: read -r file target linked; do
    from="${sim_target_room[$target]:-}"
    to="${sim_target_room[$linked]:-}"
    [[ -z "$from" ]] && { fail "$file: the simulator's target $target has no room in scripts/check-sources.sh"; continue; }
    [[ -z "$to" || "$from" == "$to" ]] && continue
    if [[ -n "${sim_client_may[$to]:-}" ]]; then
        fail "$file: $target links $linked, a client of the library"
    elif [[ -n "${sim_client_may[$from]:-}" ]]; then
        [[ " ${sim_client_may[$from]} " == *" $to "* || "$linked" == tvxsim_client ]] ||
            fail "$file: $target links $linked, which lies inside the library"
    elif [[ "$from" == control && "$to" != logic ]]; then
        fail "$file: $target links $linked; the console reaches the model only through its door"
    elif [[ "${sim_floor_of[$to]}" -ge "${sim_floor_of[$from]}" ]]; then
        fail "$file: $target links $linked from a room on its own floor or above it"
    fi
done < <(git ls-files -- 'simulator/*CMakeLists.txt' | xargs perl -ne '
    BEGIN { undef $/; }
    while (/target_link_libraries\s*\(\s*(\S+)([^)]*)\)/g) {
        my $t = $1;
        print "$ARGV:$t:$_\n" for grep { /^[\w-]+$/ } split /\s+/, $2;
    }')

if [[ "$failed" -ne 0 ]]; then
    echo "Sources: rules broken (see above)." >&2
    exit 1
fi
echo "Sources: layering clean."
