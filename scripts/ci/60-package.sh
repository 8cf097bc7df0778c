#!/usr/bin/env bash
# Shipping: the manual page renders without a warning; a Release build packs
# into a Debian package of the project's version holding the stripped program
# and its manual page; the package installs, runs from PATH, has its manual
# page found by man, and removes cleanly. Needs root (or password-less sudo)
# for dpkg -i and dpkg -r; the tools come from 10-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."

fail() { echo "60-package: FAIL: $*" >&2; exit 1; }
note() { echo "60-package: $*"; }

for tool in cmake cpack dpkg dpkg-deb readelf man groff gzip; do
  command -v "${tool}" >/dev/null || fail "${tool} is not installed"
done

version="$(sed -n 's/^project(velmaron VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[[ -n "${version}" ]] || fail "no project version found in CMakeLists.txt"
manpage=man/velmaron.1
[[ -f "${manpage}" ]] || fail "${manpage} is missing"

# man and groff complain about a broken locale on stderr; C.UTF-8 is always there.
export LC_ALL=C.UTF-8
unset MANPATH MANOPT

# --- 1. The manual page: renders at 80 columns without a single warning.
man_check() {  # <file>: the two renderings, each with an empty stderr
  local page="$1" err
  err="$(MANWIDTH=80 man --warnings -l "${page}" 2>&1 >/dev/null)" \
    || fail "man -l ${page} failed: ${err}"
  [[ -z "${err}" ]] || fail "man --warnings on ${page}:"$'\n'"${err}"
  if [[ "${page}" == *.gz ]]; then
    err="$(gzip -dc "${page}" | groff -man -ww -z 2>&1)" || fail "groff failed on ${page}: ${err}"
  else
    err="$(groff -man -ww -z "${page}" 2>&1)" || fail "groff failed on ${page}: ${err}"
  fi
  [[ -z "${err}" ]] || fail "groff -ww on ${page}:"$'\n'"${err}"
}
man_check "${manpage}"
grep -q "^\.TH VELMARON 1 .*\"velmaron ${version}\"" "${manpage}" \
  || fail "the .TH line of ${manpage} does not name version ${version}"
if command -v lexgrog >/dev/null; then
  # The NAME line must parse, or apropos and whatis will not know the page.
  whatis_line="$(lexgrog "${manpage}")" || fail "lexgrog cannot read the NAME section"
  grep -q 'velmaron - ' <<<"${whatis_line}" || fail "lexgrog reads the NAME section as: ${whatis_line}"
fi
note "manual page renders without warnings"

# --- 2. A Release build from scratch and its Debian package.
build=build/package
rm -rf "${build}"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S . -B "${build}" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DVELMARON_TESTS=OFF >/dev/null
cmake --build "${build}" --target velmaron -j"$(nproc)"
(cd "${build}" && cpack -G DEB)

arch="$(dpkg --print-architecture)"
deb="${build}/velmaron_${version}_${arch}.deb"
[[ -f "${deb}" ]] || fail "cpack made no ${deb}"

# --- 3. The package's fields and files.
field() { dpkg-deb -f "${deb}" "$1"; }
[[ "$(field Package)" == velmaron ]]     || fail "Package is '$(field Package)'"
[[ "$(field Version)" == "${version}" ]] || fail "Version is '$(field Version)', not ${version}"
[[ "$(field Architecture)" == "${arch}" ]] || fail "Architecture is '$(field Architecture)'"
[[ "$(field Section)" == utils ]]        || fail "Section is '$(field Section)'"
[[ "$(field Maintainer)" == *@* ]]       || fail "Maintainer '$(field Maintainer)' has no address"
depends="$(field Depends)"
[[ "${depends}" == *libc6* ]]            || fail "Depends '${depends}' lacks libc6"
description="$(field Description)"
summary="$(head -n1 <<<"${description}")"
[[ -n "${summary}" && ${#summary} -le 80 ]] || fail "summary '${summary}' is empty or longer than 80"
(( $(wc -l <<<"${description}") >= 3 )) || fail "no long description"
[[ "${description}" != *"CPack"* ]]      || fail "the description is CPack's generic text"

contents="$(dpkg-deb -c "${deb}")"
grep -qE ' \./usr/bin/velmaron$' <<<"${contents}" || fail "no ./usr/bin/velmaron in the package"
grep -qE '^-rwxr-xr-x root/root .* \./usr/bin/velmaron$' <<<"${contents}" \
  || fail "./usr/bin/velmaron is not root-owned mode 0755"
grep -qE ' \./usr/share/man/man1/velmaron\.1\.gz$' <<<"${contents}" \
  || fail "no ./usr/share/man/man1/velmaron.1.gz in the package"
if grep -vE '^(d|-)' <<<"${contents}" | grep -q .; then
  fail "unexpected entry types in the package"
fi

unpacked="$(mktemp -d)"
installed=0
cleanup() {
  rm -rf "${unpacked}"
  if ((installed)); then ${SUDO:-} dpkg -r velmaron >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT
dpkg-deb -x "${deb}" "${unpacked}"
packed_bin="${unpacked}/usr/bin/velmaron"
readelf -h "${packed_bin}" >/dev/null 2>&1 || fail "the packed velmaron is no ELF file"
# Outputs are read whole before grep looks at them: with pipefail, grep -q
# ending early could make the writer fail and turn a hit into a miss.
sections="$(readelf -S --wide "${packed_bin}")"
grep -q '\.text' <<<"${sections}" || fail "readelf shows no sections of the packed velmaron"
if grep -qE '\.symtab|\.debug_' <<<"${sections}"; then
  fail "the packed velmaron still has a symbol table or debug sections"
fi
gzip -dc "${unpacked}/usr/share/man/man1/velmaron.1.gz" | cmp -s - "${manpage}" \
  || fail "the packed manual page differs from ${manpage}"
man_check "${unpacked}/usr/share/man/man1/velmaron.1.gz"

size() { stat -c %s "$1"; }
note "figures: build binary $(size "${build}/velmaron") bytes, packed (stripped)" \
     "$(size "${packed_bin}") bytes, package $(size "${deb}") bytes; Depends: ${depends}"

# --- 4. Install, use, remove.
package_status() { dpkg-query -W -f='${Status} ${Version}' velmaron 2>/dev/null || true; }
package_present() {  # installed, or half-way in or out of it
  case "$(package_status)" in
    ""|*" not-installed "*|*" config-files "*) return 1 ;;
    *) return 0 ;;
  esac
}
if [[ "$(id -u)" -eq 0 ]]; then
  SUDO=
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  SUDO="sudo -n"
else
  fail "installing the package needs root or password-less sudo"
fi
# A package left over from an interrupted run goes first.
if package_present; then
  note "removing a velmaron package left installed before"
  ${SUDO} dpkg -r velmaron >/dev/null
fi
# Container images often exclude /usr/share/man from dpkg; the page is let in
# explicitly so that the man check tests the package, not the image.
installed=1
${SUDO} dpkg --path-include='/usr/share/man/man1/velmaron.1.gz' -i "${deb}" >/dev/null
[[ "$(package_status)" == "install ok installed ${version}" ]] \
  || fail "dpkg does not list velmaron ${version} as installed"

# From PATH, with the system directories only, so that a copy installed from
# source under /usr/local cannot stand in for the packaged one.
sys_path=/usr/sbin:/usr/bin:/sbin:/bin
[[ "$(PATH="${sys_path}" command -v velmaron)" == /usr/bin/velmaron ]] \
  || fail "velmaron is not found on PATH as /usr/bin/velmaron"
set +e
usage="$(PATH="${sys_path}" velmaron '/?' </dev/null)"
status=$?
set -e
[[ ${status} -eq 0 ]] || fail "velmaron /? exited with ${status}"
grep -q "Version ${version}" <<<"${usage}" || fail "velmaron /? does not show Version ${version}:"$'\n'"${usage}"

manfile="$(man -aw velmaron 2>/dev/null || true)"
grep -qx '/usr/share/man/man1/velmaron.1.gz' <<<"${manfile}" \
  || fail "man -w velmaron does not find /usr/share/man/man1/velmaron.1.gz (got: ${manfile:-nothing})"
note "installed: velmaron /? runs from PATH and man finds the page"

${SUDO} dpkg -r velmaron >/dev/null
installed=0
if package_present; then
  fail "velmaron is still listed as installed after dpkg -r"
fi
[[ ! -e /usr/bin/velmaron ]] || fail "/usr/bin/velmaron is still there after dpkg -r"
[[ ! -e /usr/share/man/man1/velmaron.1.gz ]] || fail "the manual page is still there after dpkg -r"
note "removed cleanly"
note "package ${deb} passed"
