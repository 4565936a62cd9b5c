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
frames_on_line() { grep -o -E '[0-9A-F]{14}D' "$1" 2>/dev/null | wc -l; }

# run_chain BIN_DIR PYTHON_DIR: the demo chain under the installed launcher,
# with a pseudo-terminal as the serial line, until frames arrive; then
# SIGTERM, and nothing of the chain may be left.
run_chain() {
  local bin=$1 python_dir=$2
  [[ -e $serial ]] && fail "$serial exists; it is not replaced"
  local chain=$work/chain line=$work/line.out
  cat >"$chain" <<'EOF'
VOK_App
command_feed --publisher-log /dev/null sweep --channels 0,1,2 --step 100
servo_controller
EOF
  : >"$line"
  local sockets_before
  sockets_before=$(socket_files)
  socat -u "pty,raw,echo=0,link=$serial" "OPEN:$line,wronly,append" &
  local socat_pid=$!
  for _ in $(seq 100); do [[ -L $serial ]] && break; sleep 0.05; done
  [[ -L $serial ]] || fail "no pseudo-terminal at $serial"
  (cd "$work" && exec env PATH="$bin:/usr/bin:/bin" PYTHONPATH="$python_dir" \
    "$bin/vok_launcher" "$chain") >"$work/launcher.log" 2>&1 &
  local launcher=$!
  local count=0
  for _ in $(seq 300); do
    count=$(frames_on_line "$line")
    [[ $count -ge 3 ]] && break
    kill -0 "$launcher" 2>/dev/null || break
    sleep 0.1
  done
  kill -TERM "$launcher" 2>/dev/null || true
  local status=0
  wait "$launcher" || status=$?
  kill -TERM "$socat_pid" 2>/dev/null || true
  wait "$socat_pid" 2>/dev/null || true
  if [[ $count -lt 3 || $status -ne 0 ]]; then
    cat "$work/launcher.log"
    fail "chain from $bin: $count frames on the line, launcher status $status"
  fi
  say "chain from $bin: $(head -c 15 "$line") ... ($count frames), launcher status 0"
  local left
  left=$(pidof VOK_App servo_controller || true)
  [[ -z $left ]] || fail "processes left: $left"
  [[ ! -e "/dev/shm/Remote_open_control_kit_enabled_target_(Zentor)Shm" ]] || fail "ring left in /dev/shm"
  [[ $(socket_files) == "$sockets_before" ]] || fail "socket file left: $(socket_files)"
  [[ ! -e $serial ]] || fail "$serial left"
}

# run_test_mode LIB_DIR BIN_DIR: the broker's test mode, started in the
# folder of its libraries, streams JPEG frames on port 2020.
run_test_mode() {
  local lib=$1 bin=$2
  echo "VOK_App -t 1 -c 2" >"$work/video.chain"
  (cd "$lib" && exec "$bin/vok_launcher" "$work/video.chain") >"$work/video.log" 2>&1 &
  local launcher=$!
  local got=""
  for _ in $(seq 50); do
    got=$(curl -s --max-time 2 http://127.0.0.1:2020/ 2>/dev/null | head -c 4096 | grep -a -c 'image/jpeg' || true)
    [[ $got -gt 0 ]] && break
    sleep 0.2
  done
  kill -TERM "$launcher" 2>/dev/null || true
  wait "$launcher" || true
  [[ $got -gt 0 ]] || { cat "$work/video.log"; fail "test mode from $lib: no JPEG on port 2020"; }
  say "test mode from $lib: JPEG frames on port 2020"
}

# check_tree ROOT UNIT: a manual page for every program, each rendering
# without warnings, and a unit that systemd-analyze accepts.
check_tree() {
  local root=$1 unit=$2 verify_args=("${@:3}")
  local program page warnings
  for program in "$root"/bin/*; do
    page=$root/share/man/man1/$(basename "$program").1
    [[ -f $page ]] || fail "no manual page for $(basename "$program")"
  done
  for page in "$root"/share/man/man1/*.1; do
    warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$page: $warnings"
  done
  systemd-analyze verify "${verify_args[@]}" "$unit" || fail "systemd-analyze verify $unit"
  say "$root: manual pages render, $unit verified"
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
check_tree "$stage" "$stage/lib/systemd/system/vok.service" --man=no
flock /tmp/vok-itest.lock bash -c "$(declare -f say fail socket_files frames_on_line run_chain run_test_mode)
  serial=$serial work=$work
  run_chain $stage/bin $python_dir && run_test_mode $stage/lib/vok $stage/bin"

# The amd64 package on this machine.
deb=$(echo "$out"/amd64/vok_*_amd64.deb)
installed=1
dpkg -i "$deb" >/dev/null
files=$(dpkg-query -L vok)
conffiles=$(dpkg-query -W -f='${Conffiles}\n' vok | awk 'NF {print $1}')
check_tree /usr /usr/lib/systemd/system/vok.service
flock /tmp/vok-itest.lock bash -c "$(declare -f say fail socket_files frames_on_line run_chain)
  serial=$serial work=$work
  run_chain /usr/bin ''"

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
