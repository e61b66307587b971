# Shared by the project's scripts: paths, the Wine environment, and helpers that
# start (and later stop) an Xvfb display and virtual serial cables.
# Source it; it defines functions and variables only.

VL4_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VL4_BUILD=${VL4_BUILD:-$VL4_ROOT/build}
export WINEPREFIX=${VL4_WINEPREFIX:-$VL4_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine runs as on a Czech Windows (ANSI code page 1250) unless VL4_WINE_LOCALE
# names another locale: en_US.UTF-8 runs it as on an English or German Windows
# (code page 1252). A Wine process takes its code page from the locale it was
# started in, and its children inherit that locale (not the Windows
# environment's LANG). The scripts themselves keep the caller's locale.
VL4_WINE_LOCALE=${VL4_WINE_LOCALE:-cs_CZ.UTF-8}
vl4_wine() { LANG=$VL4_WINE_LOCALE LC_ALL=$VL4_WINE_LOCALE wine "$@"; }
VL4_CABLES="$VL4_BUILD/cables"
VL4_STATE="$VL4_BUILD/env"
# Virtual cables: tool end and simulator end of each pair. Tests take the lock
# of each cable they use: cable (COM5), cable2 (COM7), cable3 (COM9).
VL4_CABLE_PORTS=(COM5:COM6 COM7:COM8 COM9:COM10)

vl4_log() { echo "vl4: $*" >&2; }

# The DLLs every Windows has: a program that imports nothing else runs from
# any folder without installation.
VL4_SYSTEM_DLLS=(kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll msvcrt.dll)
# vl4_imports EXE: the DLLs EXE imports, in lower case, one a line.
vl4_imports() {
  i686-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort
}
# vl4_foreign_imports EXE: the DLLs EXE imports beyond those, one a line.
vl4_foreign_imports() {
  vl4_imports "$1" | grep -vxF "${VL4_SYSTEM_DLLS[@]/#/-e}" || true
}

# vl4_quiet_step NAME STEP [environment...]: runs scripts/STEP with its
# output in build/NAME-STEP.log, shown only when it fails (which ends the
# caller).
vl4_quiet_step() {
  local name=$1 step=$2
  shift 2
  mkdir -p "$VL4_BUILD"
  env "$@" "$VL4_ROOT/scripts/$step" >"$VL4_BUILD/$name-$step.log" 2>&1 ||
    { cat "$VL4_BUILD/$name-$step.log" >&2; exit 1; }
}

# vl4_quiet_setup_and_build NAME [build environment...]: scripts/setup and
# scripts/build so.
vl4_quiet_setup_and_build() {
  vl4_quiet_step "$1" setup "${@:2}"
  vl4_quiet_step "$1" build "${@:2}"
}

# The kernel may run without 32-bit emulation; then i386 programs (wine32)
# run through qemu's user-mode emulator, registered with binfmt_misc.
vl4_ensure_i386() {
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then return 0; fi
  local reg=/proc/sys/fs/binfmt_misc
  [ -e "$reg/register" ] || mount -t binfmt_misc binfmt_misc "$reg"
  if [ ! -e "$reg/qemu-i386" ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FOC' >"$reg/register"
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { vl4_log "cannot run i386 programs"; return 1; }
}

vl4_cable_path() { echo "$VL4_CABLES/$1"; }

# Bump when the prefix settings below change, so existing prefixes follow.
VL4_PREFIX_VERSION=4

vl4_prepare_prefix() {
  vl4_ensure_i386
  mkdir -p "$VL4_BUILD" "$VL4_CABLES"
  local stamp="$WINEPREFIX/.vl4-prefix"
  local want="$VL4_PREFIX_VERSION ${VL4_CABLE_PORTS[*]} $VL4_CABLES"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then return 0; fi
  vl4_log "preparing Wine prefix $WINEPREFIX"
  [ -f "$WINEPREFIX/system.reg" ] ||
    LANG=$VL4_WINE_LOCALE LC_ALL=$VL4_WINE_LOCALE wineboot -i >"$VL4_BUILD/wineboot.log" 2>&1
  local pair port
  for pair in "${VL4_CABLE_PORTS[@]}"; do
    for port in "${pair%%:*}" "${pair##*:}"; do
      vl4_reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$(vl4_cable_path "$port")"
    done
  done
  # Wine's own fonts (fonts-wine) where Windows keeps its fonts: the System
  # font and the caption buttons' Marlett look as on Windows, and the Czech
  # labels fit their fields. Without them Wine falls back to wider faces.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # A crashing test prints its backtrace and ends instead of waiting in a dialog.
  vl4_reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  # Xvfb has no window manager: unmanaged windows spare Wine a wait of about two
  # seconds whenever a shown top-level window is destroyed.
  vl4_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  wineserver -w
  echo "$want" >"$stamp"
}

vl4_reg() { vl4_wine reg "$@" /f >/dev/null 2>&1; }

# Xvfb on a free display; sets DISPLAY.
vl4_start_xvfb() {
  mkdir -p "$VL4_STATE"
  local fifo="$VL4_STATE/display.$$"
  rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  VL4_XVFB_PID=$!
  read -r -t 20 n <"$fifo" || { vl4_log "Xvfb did not start"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$n"
}

# One socat pty pair per cable, linked under the paths the prefix maps to COM ports.
vl4_start_cable() { # tool-port sim-port
  local a b
  a=$(vl4_cable_path "$1"); b=$(vl4_cable_path "$2")
  rm -f "$a" "$b"
  socat "pty,raw,echo=0,link=$a" "pty,raw,echo=0,link=$b" >/dev/null 2>&1 &
  local pid=$! i
  for i in $(seq 100); do [ -e "$a" ] && [ -e "$b" ] && break; sleep 0.05; done
  echo "$pid" >"$VL4_STATE/cable.$1.pid"
  VL4_CABLE_PIDS+=("$pid")
}

vl4_start_cables() {
  mkdir -p "$VL4_STATE" "$VL4_CABLES"
  local pair
  for pair in "${VL4_CABLE_PORTS[@]}"; do vl4_start_cable "${pair%%:*}" "${pair##*:}"; done
}

# Starts everything a test or the demo needs, and arranges to stop it again.
# VL4_DISPLAY names a display to use instead of a new Xvfb (the demo on the
# user's screen).
vl4_env_up() {
  VL4_CABLE_PIDS=()
  vl4_ensure_i386
  if [ -n "${VL4_DISPLAY:-}" ]; then export DISPLAY=$VL4_DISPLAY; else vl4_start_xvfb; fi
  vl4_start_cables
  # Fails when a server for the prefix still runs; that one serves then.
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's background services now, with no pipe for them to inherit.
  vl4_wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' </dev/null >/dev/null 2>&1 || true
  vl4_unlist_sim_ends
  export VL4_ENV_ACTIVE=1
}

# Windows refuses a second open of a COM port, Wine does not: a program that
# probes every registered port would read the simulator's requests on its end
# of a cable. The simulator ends leave the serial device map, as ports that
# vl4sim holds; Wine lists the port COMn as \Device\Serial<n-1>.
vl4_unlist_sim_ends() {
  local file="$VL4_STATE/unlist.reg" pair n
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\r\n'
    for pair in "${VL4_CABLE_PORTS[@]}"; do
      n=${pair##*:COM}
      printf '"\\\\Device\\\\Serial%d"=-\r\n' $((n - 1))
    done
  } >"$file"
  vl4_wine regedit /s "Z:${file//\//\\}" </dev/null >/dev/null 2>&1 || true
}

vl4_env_down() {
  wineserver -k 2>/dev/null || true
  local pid
  # A cable pulled and plugged again (scripts/lib/cable) runs a socat that
  # only its pid file knows.
  for pid in "${VL4_CABLE_PIDS[@]}" $(cat "$VL4_STATE"/cable.*.pid 2>/dev/null) ${VL4_XVFB_PID:-}; do
    kill "$pid" 2>/dev/null || true
  done
  rm -f "$VL4_STATE"/cable.*.pid
  wait 2>/dev/null || true
}
