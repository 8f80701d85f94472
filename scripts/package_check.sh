#!/usr/bin/env bash
# Builds the Debian package of a build folder and checks it: its files and control fields, a
# stripped executable without test switches and with Debian's hardening (lintian's hardening tags
# and the stack protector), lintian, and the systemd unit it ships (systemd-analyze security and
# verify, offline: no running systemd is needed).
# Usage: scripts/package_check.sh   (BUILD_DIR: a configured and built folder, default build/)
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
name=ORIK__TANU1_Sys_Adaptive_01
prefix="opt/$name"
unit="lib/systemd/system/$name.service"
# The highest exposure systemd-analyze security may rate the unit (0 to 10).
max_exposure=2.5

fail() {
  echo "package check: $*" >&2
  exit 1
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB) >"$work/cpack.log" || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$build"/*.deb)
if ((${#debs[@]} != 1)) || [[ ! -f "${debs[0]}" ]]; then
  fail "expected one package in $build"
fi
deb="${debs[0]}"
echo "package check: $(basename "$deb")"

dpkg-deb -c "$deb" | tee "$work/contents" | awk '{print $1, $6}'
for path in "$prefix/bin/$name" "$prefix/libexec/wait-for-dlt" "$prefix/etc/charging_management_core_conf.json" \
  "$prefix/etc/com_deployment.json" "$unit" usr/share/doc/orik-gateway/copyright \
  usr/share/doc/orik-gateway/changelog.gz; do
  grep -q " \./$path\$" "$work/contents" || fail "$path is not in the package"
done

dpkg-deb -I "$deb" | tee "$work/info"
# Depends as computed from the executable's libraries: one package name a line.
sed -n 's/^ Depends: //p' "$work/info" | tr ',' '\n' | awk '{print $1}' >"$work/depends"
for library in libc6 libstdc++6 libdlt2 libsystemd0; do
  grep -qx "$library" "$work/depends" || fail "Depends lacks $library"
done
for script in postinst prerm postrm; do
  grep -q " $script " "$work/info" || fail "no $script"
done

dpkg-deb -x "$deb" "$work/root"
executable="$work/root/$prefix/bin/$name"
if readelf -S "$executable" | grep -q '\.debug_\|\.symtab'; then
  fail "the executable is not stripped"
fi
if grep -qa ORIK_PLATFORM_TEST_FAILURES "$executable"; then
  fail "the packaged executable carries the test switch ORIK_PLATFORM_TEST_FAILURES"
fi
echo "package check: executable $(stat -c %s "$executable") bytes, stripped, no test switch"

# lintian's hardening tags cover PIE, RELRO, BIND_NOW and the fortified functions, but not the stack
# protector: a protected function calls __stack_chk_fail, which stays in the dynamic symbols.
readelf --dyn-syms -W "$executable" >"$work/dynsyms"
grep -q ' __stack_chk_fail@' "$work/dynsyms" || fail "the executable has no stack protector (__stack_chk_fail)"
echo "package check: stack protector, $(grep -c '_chk@' "$work/dynsyms") fortified functions"

if command -v lintian >/dev/null; then
  # Errors and warnings fail; the overrides the package ships say why each is accepted. The
  # hardening tags are information tags, shown only with -I, and fail too.
  lintian -I --fail-on error,warning --tag-display-limit 0 "$deb" | tee "$work/lintian" || fail "lintian"
  if grep -q 'hardening-no-' "$work/lintian"; then
    fail "the executable lacks hardening that Debian builds with"
  fi
  echo "package check: lintian clean, hardening included"
else
  echo "package check: lintian is not installed (scripts/deps.sh installs it); skipped"
fi

# The unit as installed, against the system's own units for what it refers to (targets).
systemd-analyze security --offline=yes --threshold="$(awk -v m="$max_exposure" 'BEGIN {print m * 10}')" \
  "$work/root/$unit" | tee "$work/security" | tail -n 1 ||
  fail "the unit's exposure is above $max_exposure"
mkdir -p "$work/root/etc"
cp -an /lib/systemd/system/. "$work/root/lib/systemd/system/"
systemd-analyze verify --man=no --root="$work/root" "$work/root/$unit" >"$work/verify" 2>&1 ||
  { cat "$work/verify" >&2; fail "systemd-analyze verify failed"; }
# Notices about the system's other units are shown, not failed.
cat "$work/verify"
if grep -q "$name" "$work/verify"; then
  fail "systemd-analyze verify has remarks on the unit"
fi
echo "package check: passed"
