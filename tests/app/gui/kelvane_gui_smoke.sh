#!/usr/bin/env bash
# Runs Kelvane on a virtual X display and drives it with xdotool: the launch
# dialog from F2 and a launch that ends in the collision box, the frame-time
# dialog from F5, the About box and the help window from the menu, and the
# close command. Fails when a window does not appear or the program does not
# end cleanly.
# Usage: kelvane_gui_smoke.sh PROGRAM OUTPUT_DIR
set -euo pipefail
program=$1
out=$2

if [ "${3:-}" != "--inner" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$out" --inner
fi

log=$out/kelvane_gui_smoke.log
rm -f "$log" "$out"/kelvane_*.png
"$program" >"$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

fail() {
  echo "kelvane gui smoke: $1"
  echo "---- program log"
  cat "$log"
  exit 1
}
shot() { import -window root "$out/kelvane_$1.png"; }
# The one visible window with exactly this title, waiting for it to appear.
window() {
  for _ in $(seq 1 200); do
    local id
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 $pid 2>/dev/null || fail "program ended while waiting for $1"
    sleep 0.1
  done
  fail "no window $1"
}
gone() {
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window $1 stayed open"
}

main=$(window Kelvane)
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool windowfocus --sync "$main"
sleep 0.5
shot main

# F2: the launch dialog. Latitude, longitude, speed and angle all 0 fall
# straight down and hit the Earth on the second frame.
xdotool key F2
launch=$(window 軌道のセット)
xdotool windowfocus --sync "$launch"
sleep 0.3
for value in 0 0 0 0; do xdotool type --delay 30 "$value"; xdotool key Tab; done
shot launch
xdotool key Return
box=$(window 衝突)
sleep 0.3
shot collision
xdotool windowfocus --sync "$box"
xdotool key Return
gone 衝突

# F5: the frame-time dialog.
xdotool windowfocus --sync "$main"
xdotool key F5
frame=$(window 画面描画時間の変更)
xdotool windowfocus --sync "$frame"
sleep 0.3
xdotool type --delay 30 "40"
shot frame_time
xdotool key Return
gone 画面描画時間の変更

# The About box from the menu: ヘルプ → Kelvane について.
xdotool mousemove $((X + 137)) $((Y + 12)) click 1
sleep 0.5
xdotool key Down Down Return
about=$(window Kelvaneのバージョン情報)
sleep 0.3
shot about
xdotool windowfocus --sync "$about"
xdotool key Return
gone Kelvaneのバージョン情報

# F1: the help window.
xdotool windowfocus --sync "$main"
xdotool key F1
help=$(window Kelvaneのヘルプ)
sleep 0.3
shot help
# No window manager here: move the help window off the menu bar by hand.
xdotool windowmove --sync "$help" 520 300
sleep 0.3

# The close command from the menu: ファイル → 閉じる(ESC), the last item.
xdotool mousemove $((X + 33)) $((Y + 12)) click 1
sleep 0.5
shot menu
xdotool key Up Return
for _ in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "program still running after the close command"
wait $pid || fail "program failed"
trap - EXIT
if grep -E -q "CRITICAL|WARNING" "$log"; then fail "GTK reported misuse"; fi
echo "kelvane gui smoke: passed; screenshots in $out"
