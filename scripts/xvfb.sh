# xvfb.sh, sourced by scripts/run and the viewer benchmarks: a private X server. Xvfb picks a
# free display number and writes it to descriptor 3, so runs never collide on one.
#   xvfb_start DEPTH   starts an 800x600 server of that depth, exports DISPLAY, sets xvfb_pid
#   xvfb_stop          ends it (safe to call when none runs)
xvfb_pid=
xvfb_start() {
  local depth=$1 dfile end
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "800x600x$depth" -nolisten tcp 3>"$dfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  end=$((SECONDS + 20))
  until [ -s "$dfile" ]; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ $SECONDS -ge $end ]; then
      echo "Xvfb did not start" >&2
      rm -f "$dfile"
      return 1
    fi
    sleep 0.1
  done
  DISPLAY=":$(head -n1 "$dfile")"
  export DISPLAY
  rm -f "$dfile"
}
xvfb_stop() {
  [ -n "$xvfb_pid" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
}
