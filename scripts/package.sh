#!/usr/bin/env bash
# Builds the Debian packages for amd64, armhf and arm64 into build-packages/
# and checks the installed system:
#   - build/ installed into a staging prefix: the chain runs from there
#     (broker, command feed, servo_controller on a pseudo-terminal at
#     /dev/serial0; frames on the line), and test mode streams from lib/vok;
#   - dpkg-deb -I of each package: its architecture and dependencies;
#   - the amd64 package installed with dpkg -i: the unit passes
#     systemd-analyze verify, every manual page renders without warnings,
#     the chain runs from /usr; dpkg -r, then dpkg -P, leave none of its files.
# Reuses build/ (scripts/test.sh) and build-armhf/ (scripts/cross.sh armhf)
# when they exist; build-arm64/ is a full arm64 build without tests.
# Installs and removes the package vok on this machine: run it as root, where
# no other vok package is installed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --cross

out=$PWD/build-packages
work=$(mktemp -d /tmp/vok_package.XXXXXX)
serial=/dev/serial0
jobs=$(nproc)
installed=""

say() { echo "package: $*"; }
fail() { say "FAILED: $*"; exit 1; }

cleanup() {
  if [[ -n "$installed" ]]; then
    dpkg -P vok >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# configure_once DIR [CMAKE ARGS...]: a build folder configured as given,
# or as it already is.
configure_once() {
  local dir=$1
  shift
  if [[ ! -f $dir/CMakeCache.txt ]]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  fi
  cmake --build "$dir" -j"$jobs" >/dev/null
}

# package DIR ARCH: the .deb of that build folder, its control fields shown.
package() {
  local dir=$1 arch=$2
  rm -rf "$out/$arch"
  cpack --config "$dir/CPackConfig.cmake" -B "$out/$arch" >"$work/cpack-$arch.log" 2>&1 ||
    { cat "$work/cpack-$arch.log"; fail "cpack in $dir"; }
  local deb
  deb=$(echo "$out/$arch"/vok_*_"$arch".deb)
  [[ -f $deb ]] || fail "no package for $arch in $out/$arch"
  say "$deb"
  dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Architecture|Depends):'
  [[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] || fail "$deb is not for $arch"
  dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "$deb: no library dependencies"
}

socket_files() { ls /tmp/sock_*.uds 2>/dev/null || true; }

# A frame as the servo board receives it: 14 hexadecimal digits and the end mark.
frames_on_line() { grep -o -E '[0-9A-F]{14}D' "$1" 2>/dev/null | wc -l || true; }

# start_group LOG PROGRAM ARGS...: the program in a process group of its own,
# whose id is printed; a daemon it forks stays in that group, so the group
# id finds it without looking up names.
start_group() {
  local log=$1
  shift
  setsid bash -c 'echo $$; exec "$@" >>"'"$log"'" 2>&1' bash "$@" </dev/null &
}

# stop_group PGID: SIGINT to the group, up to 10 s for it to be gone, else
# SIGKILL and status 1.
stop_group() {
  kill -INT -- "-$1" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 -- "-$1" 2>/dev/null || return 0
    sleep 0.1
  done
  say "process group $1 ignored SIGINT"
  kill -KILL -- "-$1" 2>/dev/null || true
  return 1
}

# What the runs below started, stopped also when a check fails: the process
# groups (apps first, the broker last) and the pseudo-terminal.
started=()
line_pid=""
stop_started() {
  local status=0 i
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do
    stop_group "${started[i]}" || status=1
  done
  started=()
  if [[ -n $line_pid ]]; then
    kill -TERM "$line_pid" 2>/dev/null || true
    wait "$line_pid" 2>/dev/null || true
    line_pid=""
  fi
  return $status
}

# run_chain BIN_DIR PYTHON_DIR: the demo chain from an installed tree, the
# broker first, the feed, then the servo controller on a pseudo-terminal at
# /dev/serial0, until frames arrive; stopped in order, and nothing of the
# chain may be left.
run_chain() {
  local bin=$1 python_dir=$2
  [[ -e $serial ]] && fail "$serial exists; it is not replaced"
  local line=$work/line.out log=$work/chain.log sockets_before count=0
  sockets_before=$(socket_files)
  : >"$line"
  socat -u "pty,raw,echo=0,link=$serial" "OPEN:$line,wronly,append" &
  line_pid=$!
  for _ in $(seq 100); do [[ -L $serial ]] && break; sleep 0.05; done
  [[ -L $serial ]] || fail "no pseudo-terminal at $serial"
  cd "$work"
  export PATH="$bin:/usr/bin:/bin" PYTHONPATH="$python_dir"
  started+=("$(start_group "$log" VOK_App -c 2)")
  for _ in $(seq 100); do [[ $(socket_files) != "$sockets_before" ]] && break; sleep 0.05; done
  started+=("$(start_group "$log" command_feed --publisher-log /dev/null sweep --channels 0,1,2 --step 100)")
  started+=("$(start_group "$log" servo_controller)")
  for _ in $(seq 300); do
    count=$(frames_on_line "$line")
    [[ $count -ge 3 ]] && break
    sleep 0.1
  done
  stop_started || fail "the chain did not stop on SIGINT"
  [[ $count -ge 3 ]] || { cat "$log"; fail "chain from $bin: $count frames on the line"; }
  say "chain from $bin: $(head -c 15 "$line") ... ($count frames on the line)"
  [[ ! -e "/dev/shm/Remote_open_control_kit_enabled_target_(Zentor)Shm" ]] || fail "ring left in /dev/shm"
  [[ $(socket_files) == "$sockets_before" ]] || fail "socket file left: $(socket_files)"
  [[ ! -e $serial ]] || fail "$serial left"
}

# run_test_mode LIB_DIR BIN_DIR: the broker's test mode, started in the
# folder of its libraries, streams JPEG frames on port 2020.
run_test_mode() {
  local lib=$1 bin=$2 got=0
  cd "$lib"
  started+=("$(start_group "$work/video.log" "$bin/VOK_App" -t 1 -c 2)")
  for _ in $(seq 50); do
    got=$(curl -s --max-time 2 http://127.0.0.1:2020/ 2>/dev/null | head -c 4096 | grep -a -c 'image/jpeg' || true)
    [[ $got -gt 0 ]] && break
    sleep 0.2
  done
  stop_started || fail "test mode did not stop on SIGINT"
  [[ $got -gt 0 ]] || { cat "$work/video.log"; fail "test mode from $lib: no JPEG on port 2020"; }
  say "test mode from $lib: JPEG frames on port 2020"
}

# check_manuals ROOT PROGRAM...: a manual page for every program, each
# rendering without warnings.
check_manuals() {
  local root=$1 program page warnings
  shift
  for program in "$@"; do
    page=$root/share/man/man1/$(basename "$program").1
    [[ -f $page ]] || fail "no manual page for $(basename "$program")"
    warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$page: $warnings"
  done
  say "$root: every program has a manual page, each renders without warnings"
}

# check_unit ROOT [VERIFY ARGS...]: systemd-analyze accepts the unit.
check_unit() {
  local root=$1 unit=$1/lib/systemd/system/vok.service
  shift
  # The unit runs the launcher, which the tree may not have yet.
  if [[ ! -x $root/bin/vok_launcher ]]; then
    say "NOT VERIFIED: $unit (no $root/bin/vok_launcher)"
    return 0
  fi
  systemd-analyze verify "$@" "$unit" || fail "systemd-analyze verify $unit"
  say "$unit verified"
}

mkdir -p "$out"

# The three packages.
configure_once build
configure_once build-armhf -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/arm-linux-gnueabihf.cmake"
configure_once build-arm64 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/aarch64-linux-gnu.cmake" \
  -DVOK_BUILD_TESTS=OFF
package build amd64
package build-armhf armhf
package build-arm64 arm64

# The staged tree. Apps find a broker by its name, and /dev/serial0 is
# shared: the chain runs hold the lock of the integration tests.
stage=$work/stage
cmake --install build --prefix "$stage" >/dev/null
python_dir=$(echo "$stage"/lib/python3.*/dist-packages)
check_manuals "$stage" "$stage"/bin/*
# The manual pages named in the unit are not on man's path yet.
check_unit "$stage" --man=no
chain_run() {
  flock /tmp/vok-itest.lock bash -c "set -euo pipefail
    $(declare -f say fail socket_files frames_on_line start_group stop_group stop_started run_chain run_test_mode)
    serial=$serial work=$work started=() line_pid=''
    trap stop_started EXIT
    $*"
}
chain_run run_chain "$stage/bin" "$python_dir" '&&' run_test_mode "$stage/lib/vok" "$stage/bin"

# The amd64 package on this machine.
deb=$(echo "$out"/amd64/vok_*_amd64.deb)
installed=1
dpkg -i "$deb" >/dev/null
files=$(dpkg-query -L vok)
conffiles=$(dpkg-query -W -f='${Conffiles}\n' vok | awk 'NF {print $1}')
check_manuals /usr $(grep '^/usr/bin/' <<<"$files")
check_unit /usr
chain_run run_chain /usr/bin "''"

dpkg -r vok >/dev/null
while IFS= read -r path; do
  [[ -z $path || -d $path ]] && continue
  if [[ -e $path || -L $path ]] && ! grep -qxF "$path" <<<"$conffiles"; then
    fail "dpkg -r left $path"
  fi
done <<<"$files"
dpkg -P vok >/dev/null
installed=""
while IFS= read -r path; do
  [[ -n $path && ( -e $path || -L $path ) ]] && fail "dpkg -P left $path"
done <<<"$conffiles"
for folder in /usr/lib/vok /usr/share/vok /etc/vok; do
  [[ ! -e $folder ]] || fail "$folder left"
done
say "dpkg -r and dpkg -P removed every file of the package"
