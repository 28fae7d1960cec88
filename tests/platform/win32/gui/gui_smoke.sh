#!/usr/bin/env bash
# Runs the GTK smoke program on a virtual X display and drives it with xdotool:
# an accelerator key, a menu choice, the dialog, a message box, the help window
# and Escape. Fails when the program's log lacks what each step must produce.
# Usage: gui_smoke.sh PROGRAM OUTPUT_DIR
set -euo pipefail
program=$1
out=$2

if [ "${3:-}" != "--inner" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$out" --inner
fi

log=$out/gui_smoke.log
rm -f "$log" "$out"/gui_smoke_*.png
"$program" >"$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

fail() {
  echo "gui smoke: $1"
  echo "---- program log"
  cat "$log"
  exit 1
}

# Waits until the log has a line matching $1.
expect() {
  for _ in $(seq 1 200); do
    grep -q -- "$1" "$log" && return 0
    kill -0 $pid 2>/dev/null || fail "program ended before: $1"
    sleep 0.1
  done
  fail "missing: $1"
}

shot() { import -window root "$out/gui_smoke_$1.png"; }

wid=$(xdotool search --sync --onlyvisible --name '^KelvaneSmoke$' | head -1)
[ -n "$wid" ] || fail "no window"
expect "window 1"
xdotool windowfocus --sync "$wid"
sleep 0.5

# An accelerator: the command and the key messages both arrive.
xdotool key s
expect "command 40006"
expect "key 83"
expect "char 115"
shot main

# A menu choice with the pointer and the keyboard: 表示 → ワイヤーフレーム.
eval "$(xdotool getwindowgeometry --shell "$wid")"
xdotool mousemove $((X + 80)) $((Y + 12)) click 1
sleep 0.5
shot menu_open
xdotool key Down Down Down Down Return
expect "command 40007"
xdotool mousemove $((X + 80)) $((Y + 12)) click 1
sleep 0.5
shot menu_checked
xdotool key Escape
sleep 0.3

# The frame-time dialog: type a number, Enter presses OK.
xdotool windowfocus --sync "$wid"
xdotool key F5
expect "initdialog"
dialog=$(xdotool search --sync --onlyvisible --name '^画面描画時間の変更$' | head -1)
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 50 -- "-30"
sleep 0.3
shot dialog
xdotool key Return
expect "dialog ok -30 1"
expect "dialog result 1"

# An error message box, answered with Enter.
xdotool windowfocus --sync "$wid"
xdotool key F2
box=$(xdotool search --sync --onlyvisible --name '^エラー$' | head -1)
xdotool windowfocus --sync "$box"
sleep 0.5
shot messagebox
xdotool key Return
expect "messagebox 1"

# The About box from the menu (ヘルプ → Kelvane について), closed with Enter.
xdotool mousemove $((X + 137)) $((Y + 12)) click 1
sleep 0.5
xdotool key Down Down Return
expect "command 40002"
about=$(xdotool search --sync --onlyvisible --name '^Kelvaneのバージョン情報$' | head -1)
sleep 0.5
shot about
xdotool windowfocus --sync "$about"
xdotool key Return
expect "about closed"

# The help window.
xdotool windowfocus --sync "$wid"
xdotool key F1
expect "help 1"
sleep 0.5
shot help

# Escape ends the program.
xdotool windowfocus --sync "$wid"
xdotool key Escape
expect "key 27"
for _ in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "program still running after Escape"
wait $pid || fail "program failed"
trap - EXIT
grep -q "exit 0" "$log" || fail "no clean exit"
if grep -E -q "CRITICAL|WARNING" "$log"; then fail "GTK reported misuse"; fi
# Presents are shown without asking the window to paint: paints stay a few,
# from the desktop's own redraws, however many frames were presented.
read -r paints presents < <(sed -n 's/^paints \([0-9]*\) presents \([0-9]*\)$/\1 \2/p' "$log")
[ "${presents:-0}" -ge 100 ] || fail "too few presents: ${presents:-none}"
[ "$paints" -lt $((presents / 10)) ] || fail "presenting made the window paint ($paints paints, $presents presents)"
echo "gui smoke: passed; screenshots in $out"
