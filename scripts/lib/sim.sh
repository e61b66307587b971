# Starts and stops vl4sim.exe from the scripts. Source it after common.sh,
# inside with-env (the cables and the wineserver must be up).

# vl4_sim_start PORT [vl4sim options]: starts the simulator, waits for its
# "ready" line and keeps its stdin open (vl4_sim_stop sends it quit). Its
# request log goes to a file that lives as long as the simulator
# ($VL4_SIM_DIR/log).
vl4_sim_start() {
  mkdir -p "$VL4_BUILD/env"
  VL4_SIM_DIR=$(mktemp -d "$VL4_BUILD/env/sim.XXXXXX")
  mkfifo "$VL4_SIM_DIR/in"
  vl4_wine "$VL4_BUILD/sim/vl4sim.exe" "$@" --log "$VL4_SIM_DIR/log" \
    <"$VL4_SIM_DIR/in" >"$VL4_SIM_DIR/out" 2>&1 &
  VL4_SIM_PID=$!
  exec {VL4_SIM_IN}>"$VL4_SIM_DIR/in"
  local i
  for i in $(seq 300); do
    grep -q '^ready' "$VL4_SIM_DIR/out" 2>/dev/null && return 0
    kill -0 "$VL4_SIM_PID" 2>/dev/null || break
    sleep 0.1
  done
  vl4_log "vl4sim did not start:"; cat "$VL4_SIM_DIR/out" >&2
  vl4_sim_stop
  return 1
}

# Ends the simulator through its stdin and waits for it.
vl4_sim_stop() {
  [ -n "${VL4_SIM_PID:-}" ] || return 0
  echo quit >&"$VL4_SIM_IN" 2>/dev/null || true
  exec {VL4_SIM_IN}>&-
  wait "$VL4_SIM_PID" 2>/dev/null || true
  VL4_SIM_PID=
  rm -rf "$VL4_SIM_DIR"
}
