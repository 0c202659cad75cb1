# A desktop of the benches' own, sourced by bench/footprint/footprint and bench/soak: an Xvfb display with
# trayer as the notification area, programs started in homes of their own on it, and what /proc tells of them.
#
# The sourcing script sets `work` (a folder removed at exit) and calls open_desktop; every process started
# here is in `pids` and ends with the script.

pids=()

close_desktop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}

# Starts Xvfb on a display chosen among many that are free, and trayer on it; sets `display`.
open_desktop() {
  for tool in Xvfb xdpyinfo trayer; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup)" >&2; exit 2; }
  done
  trap close_desktop EXIT
  display=""
  for n in $(shuf -i 300-900 -n 20); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -noreset -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
      DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && { display=":$n"; break; }
      sleep 0.1
    done
    [ -n "$display" ] && break
  done
  [ -n "$display" ] || { echo "no Xvfb display could be started" >&2; exit 1; }

  DISPLAY="$display" trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
  pids+=($!)
  sleep 2
}

# Runs a program in a home of its own on the display, in the background; $! is its process.
start() { # home, program and its arguments
  local home="$1"; shift
  mkdir -p "$home/config" "$home/data" "$home/run"
  chmod 700 "$home/run"
  env -i PATH="/usr/bin:/bin" HOME="$home" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    NIMBREL_SERVER="http://127.0.0.1:9" NIMBREL_PROBE_URL="http://127.0.0.1:9/" \
    "$@" >/dev/null 2>&1 &
}

# A portable copy of the program in home/app, its pages written back (a fresh copy's pages would count as
# dirty until then); prints the copy's path.
portable_copy() { # program, home
  mkdir -p "$2/app"
  cp "$1" "$2/app/Nimbrel"
  sync "$2/app/Nimbrel"
  echo "$2/app/Nimbrel"
}

# Starts the copy as on every day but the first: its settings, bitmaps, icons and autostart entry are in place
# from a run before, which this one makes and ends. $! is the program's process.
start_as_every_day() { # home, copy
  start "$1" "$2"
  local first=$!
  for _ in $(seq 100); do
    [ -e "$(dirname "$2")/cpuback.bmp" ] && [ -e "$1/config/autostart/Nimbrel.desktop" ] && break
    sleep 0.1
  done
  sleep 1
  kill "$first"
  wait "$first" 2>/dev/null || true
  start "$1" "$2"
  pids+=($!)
}

# The processor time of a process in milliseconds: the scheduler's nanoseconds summed over the live threads,
# or the 10 ms steps of /proc/<pid>/stat, which also count the threads that have ended, if more.
cpu_milliseconds() { # pid
  local tick steps threads
  tick="$(getconf CLK_TCK)"
  steps="$(awk -v tick="$tick" '{sub(/^.*\) /, ""); printf "%d", ($12 + $13) * 1000 / tick}' "/proc/$1/stat")"
  threads="$(cat /proc/"$1"/task/*/schedstat | awk '{ns += $1} END {printf "%d", ns / 1000000}')"
  echo $(( threads > steps ? threads : steps ))
}
