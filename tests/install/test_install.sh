#!/usr/bin/env bash
# The library as another program sees it, from the built tree build/ (already built): installs it
# into a fresh prefix and builds examples/first-window out of tree against it with
# find_package(Lumivane), shared and static, then with only `pkg-config --cflags --libs lumivane`;
# each build runs headless and must draw the same picture. Every installed header must compile in
# a translation unit of its own against the prefix, pulling in no header that is not installed and
# none of Xlib, FreeType, fontconfig or libpng; every installed program passes hardening-check.
# Then the two Debian packages that cpack makes (lumivane, lumivane-dev): their files, lintian
# (no error; the warnings are listed), installed with dpkg into a root of their own, the multiarch
# layout that dpkg -L shows there, and the example built against them both ways.
#
#   bash tests/install/test_install.sh [BUILD_DIR]     (default: build/, already built)
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
example=$src/examples/first-window
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The programs run here keep their caches in the work folder, never in the developer's home.
export FONTCONFIG_FILE=$src/tests/fonts/fonts.conf LANG=C.UTF-8 LUMIVANE_CACHE=$work/cache XDG_CACHE_HOME=$work/xdg-cache
jobs=$(nproc)
failures=0

step() { echo "-- $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }

# Runs a built example headless: it presses Add twice and writes its window's picture.
run_example() { # NAME DIR
  local out
  if ! out=$("$2/first-window" --headless "$work/$1.png" 2>&1); then
    fail "$1: the example did not run: $out"; return
  fi
  [ "$out" = "Total: 2" ] || fail "$1: the example printed '$out', not 'Total: 2'"
  if [ -f "$work/shared.png" ] && ! cmp -s "$work/shared.png" "$work/$1.png"; then
    fail "$1: the example's picture differs from the first one built"
  fi
}

# Builds the example with CMake against a prefix and runs it; with a third argument "static", on
# the static archives (Lumivane::<layer>_static) instead of the shared libraries.
cmake_example() { # NAME PREFIX [static]
  step "$1: example built with find_package(Lumivane)${3:+, linked with the static archives}"
  local from=$example
  if [ "${3:-}" = static ]; then
    from=$work/example-static
    rm -rf "$from" && cp -r "$example" "$from"
    sed -i 's/Lumivane::\(controls\|headless\|x11\)\b/Lumivane::\1_static/g' "$from/CMakeLists.txt"
  fi
  if cmake -S "$from" -B "$work/ex-$1" -G Ninja -DCMAKE_PREFIX_PATH="$2" \
       ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher} >"$work/ex-$1.log" 2>&1 &&
     cmake --build "$work/ex-$1" >>"$work/ex-$1.log" 2>&1; then
    run_example "$1" "$work/ex-$1"
    if [ "${3:-}" = static ]; then
      ! readelf -d "$work/ex-$1/first-window" | grep -q 'NEEDED.*liblumivane' || fail "$1: linked a shared library of ours"
    else
      readelf -d "$work/ex-$1/first-window" | grep -q 'NEEDED.*liblumivane-controls\.so\.1' || fail "$1: not linked with the shared libraries"
    fi
  else
    fail "$1: the example did not build"; tail -n 30 "$work/ex-$1.log"
  fi
}

# Builds the example with nothing but what pkg-config says, and runs it.
pkgconfig_example() { # NAME PREFIX LIBDIR
  step "$1: example built with pkg-config --cflags --libs lumivane"
  mkdir -p "$work/pc-$1"
  cp "$example/FirstWindow.txt" "$work/pc-$1/"
  local flags
  if flags=$(PKG_CONFIG_PATH="$2/$3/pkgconfig" pkg-config --cflags --libs lumivane) &&
     ${launcher:-} g++ -std=c++20 -o "$work/pc-$1/first-window" "$example/main.cpp" \
       "$example/FirstWindow.cpp" $flags -Wl,-rpath,"$2/$3" 2>"$work/pc-$1.log"; then
    run_example "pc-$1" "$work/pc-$1"
  else
    fail "$1: the example did not build with pkg-config"; tail -n 30 "$work/pc-$1.log"
  fi
}

# Each installed header alone in a translation unit, with only the prefix to find headers in.
check_headers() { # PREFIX
  step "installed headers, each compiled on its own"
  local headers
  headers=$(cd "$1/include" && find lumivane -name '*.h' | sort)
  [ -n "$headers" ] || { fail "no headers installed"; return; }
  mkdir -p "$work/headers"
  if ! echo "$headers" | xargs -P "$jobs" -I{} sh -c '
      dep="$2/headers/$(echo "$1" | tr / _).d"
      echo "#include <$1>" | g++ -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$0/include" \
        -MD -MF "$dep" -x c++ - -o /dev/null 2>"$dep.err" || { echo "$1:"; head -n 5 "$dep.err"; exit 1; }' \
      "$1" {} "$work"; then
    fail "an installed header does not compile on its own"
  fi
  if grep -lE '/(X11|freetype2?|fontconfig)/|/(ft2build|png|pngconf)\.h' "$work"/headers/*.d; then
    fail "installed headers pull in Xlib, FreeType, fontconfig or libpng (files above)"
  fi
  [ -z "$(find "$1/include" -name '*Internal.h')" ] || fail "a private header is installed"
  echo "$(echo "$headers" | wc -l) headers"

  # All of them in one program, then Xlib's: no name of ours collides with Xlib's (Font, Region,
  # Window...), and none hides another (-Wshadow).
  step "every installed header, then Xlib's, in one translation unit (-Wshadow -Werror)"
  { echo "$headers" | sed 's|.*|#include <&>|'
    printf '#include <X11/Xlib.h>\n#include <X11/Xutil.h>\nint main() { return 0; }\n'
  } >"$work/all-headers.cpp"
  g++ -std=c++20 -fsyntax-only -Wall -Wextra -Wshadow -Werror -I"$1/include" "$work/all-headers.cpp" \
    2>"$work/all-headers.err" || { fail "the installed headers do not build together with Xlib's"; head -n 20 "$work/all-headers.err"; }
}

# Every symbol an installed library defines is in namespace lumivane (or is the C++ library's own
# instantiation or the compiler's): nothing of ours lands in a program's global namespace.
check_namespace() { # PREFIX LIBDIR
  step "library symbols outside namespace lumivane"
  local outside
  outside=$(for l in "$1/$2"/liblumivane-*.a; do nm --defined-only --extern-only "$l" 2>/dev/null; done |
    awk 'NF == 3 { print $3 }' | sort -u | perl -ne '
      chomp; my $s = $_;
      next if $s =~ /^DW\.ref\./;
      if ($s !~ /^_Z/) { print "$s\n"; next; }           # a C name
      next if $s =~ /^_Z(nw|na|dl|da)/;                   # operator new and delete
      my $r = substr($s, 2);
      $r =~ s/^(?:T[VISTC]|GV|GR|TH|TW|Th[n]?\d+_|Tv[n]?\d+_n?\d+_|Tc.*?_.*?_)//;  # vtables, guards, thunks
      $r =~ s/^Z//; $r =~ s/^N//; $r =~ s/^[rVKRO]+//;
      next if $r =~ /^S[tabsiod]/ || $r =~ /^F/;          # the standard library; function types
      if ($r =~ /^(\d+)/) {
        my $id = substr($r, length($1), $1);
        next if $id eq "lumivane" || $id =~ /^__(gnu_cxx|cxxabiv1)$/;
      }
      print "$s\n";' | c++filt | head -n 20)
  [ -z "$outside" ] || { fail "installed libraries define names outside namespace lumivane:"; echo "$outside"; }
}

# The installed libraries (an archive and a shared library of each) and programs.
check_libraries() { # PREFIX LIBDIR
  local lib
  for lib in gfx windows headless posix x11 framework controls; do
    [ -f "$1/$2/liblumivane-$lib.a" ] || fail "liblumivane-$lib.a is not installed"
    [ -L "$1/$2/liblumivane-$lib.so" ] && [ -L "$1/$2/liblumivane-$lib.so.1" ] && [ -f "$1/$2/liblumivane-$lib.so.1.0.0" ] ||
      fail "liblumivane-$lib.so, .so.1 and .so.1.0.0 are not installed"
    readelf -d "$1/$2/liblumivane-$lib.so.1.0.0" | grep -q 'SONAME.*\[liblumivane-'"$lib"'\.so\.1\]' ||
      fail "liblumivane-$lib.so.1.0.0 does not carry the SONAME liblumivane-$lib.so.1"
  done
  for program in formshot formview lumivane-notice lumivane-gallery; do
    [ -x "$1/bin/$program" ] || fail "bin/$program is not installed"
  done
  # Position-independent, stack protector, fortified calls, read-only relocations bound at start.
  # Not control-flow enforcement (CET): Debian 12's C start files are built without it, so no
  # program of the release has it (hardening-check /usr/bin/ls says the same).
  hardening-check --quiet --nocfprotection "$1"/bin/* || fail "an installed program fails hardening-check"
  "$1/bin/formshot" "$src/app/frmMain.txt" --png "$work/notice.png" >/dev/null || fail "the installed formshot does not run"
}

launcher=$(cached CMAKE_CXX_COMPILER_LAUNCHER)
libdir=$(cached CMAKE_INSTALL_LIBDIR)
case $libdir in lib/*-linux-gnu*) ;; *) fail "the libraries go to $libdir, not lib/<multiarch triplet>" ;; esac

echo "== installed library (from $build)"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
check_libraries "$work/prefix" "$libdir"
check_headers "$work/prefix"
check_namespace "$work/prefix" "$libdir"
cmake_example shared "$work/prefix"
cmake_example static "$work/prefix" static
pkgconfig_example prefix "$work/prefix" "$libdir"

echo "== Debian packages (cpack -G DEB)"
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || { tail -n 40 "$work/cpack.log"; exit 1; }
runtime=$(ls "$work"/deb/lumivane_*.deb) dev=$(ls "$work"/deb/lumivane-dev_*.deb) ||
  { fail "cpack did not make lumivane and lumivane-dev"; ls "$work/deb"; exit 1; }
files() { dpkg-deb -c "$1" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | sort; }
files "$runtime" >"$work/runtime-files"
files "$dev" >"$work/dev-files"
for f in /usr/bin/formshot /usr/bin/formview /usr/bin/lumivane-notice /usr/bin/lumivane-gallery \
         /usr/$libdir/liblumivane-controls.so.1 /usr/$libdir/liblumivane-controls.so.1.0.0 \
         /usr/$libdir/liblumivane-x11.so.1.0.0 /usr/share/doc/lumivane/copyright \
         /usr/share/man/man1/formshot.1.gz /usr/share/man/man1/formview.1.gz \
         /usr/share/man/man1/lumivane-notice.1.gz /usr/share/man/man1/lumivane-gallery.1.gz; do
  grep -qxF "$f" "$work/runtime-files" || fail "lumivane lacks $f"
done
for f in /usr/include/lumivane/controls/ImButton.h /usr/include/lumivane/framework/Form.h \
         /usr/include/lumivane/drivers/x11/RunOnDisplay.h /usr/$libdir/liblumivane-controls.so \
         /usr/$libdir/liblumivane-controls.a /usr/$libdir/cmake/Lumivane/LumivaneConfig.cmake \
         /usr/$libdir/cmake/Lumivane/LumivaneTargets.cmake /usr/$libdir/pkgconfig/lumivane.pc \
         /usr/share/doc/lumivane-dev/copyright /usr/share/doc/lumivane-dev/library.md; do
  grep -qxF "$f" "$work/dev-files" || fail "lumivane-dev lacks $f"
done
# Every picture the guide shows is in the package beside it.
for p in $(grep -o '(library/[^)]*\.png)' "$src/docs/library.md" | tr -d '()' | sort -u); do
  grep -qxF "/usr/share/doc/lumivane-dev/$p" "$work/dev-files" || fail "lumivane-dev lacks $p, which the guide shows"
done
stray=$(cat "$work/runtime-files" "$work/dev-files" |
  grep -vE '^/usr($|/(bin|include/lumivane|'"$libdir"'|share/doc/lumivane(-dev)?|share/man/man1)(/|$)|/include$|/share$|/share/doc$|/share/man$|/lib$)' || true)
[ -z "$stray" ] || fail "the packages hold files outside their folders: $stray"
! grep -q 'Internal\.h$' "$work/dev-files" || fail "lumivane-dev holds a private header"
! grep -q '\.\(a\|h\)$\|\.so$\|cmake\|pkgconfig' "$work/runtime-files" || fail "lumivane holds development files"
dpkg-deb -I "$runtime" triggers 2>/dev/null | grep -q 'ldconfig' || fail "lumivane does not trigger ldconfig"
dpkg-deb -I "$runtime" shlibs 2>/dev/null | grep -q '^liblumivane-controls 1 lumivane' || fail "lumivane declares no shlibs"
for deb in "$runtime" "$dev"; do
  dpkg-deb -f "$deb" Package Version Architecture Depends | sed 's/^/   /'
done

step "lintian"
lintian --no-tag-display-limit "$runtime" "$dev" >"$work/lintian.log" 2>&1 || true
if grep -q '^E: ' "$work/lintian.log"; then
  fail "lintian finds errors"; grep '^E: ' "$work/lintian.log"
fi
grep '^W: ' "$work/lintian.log" | sed 's/^/   /' || true
! grep -q 'no-manual-page\|manpage-has-' "$work/lintian.log" || fail "lintian finds a manual page missing or wrong"

step "installed with dpkg into a root of its own"
mkdir -p "$work/root" "$work/dpkg/updates" "$work/dpkg/info"
: >"$work/dpkg/status"
# The root's dpkg knows nothing of the system's packages: their dependencies are taken as there.
# The ldconfig that the package's scripts run is a stand-in: this machine's library cache is not
# the test's to rewrite.
mkdir -p "$work/fake-bin"
printf '#!/bin/sh\nexit 0\n' >"$work/fake-bin/ldconfig"
chmod +x "$work/fake-bin/ldconfig"
if PATH=$work/fake-bin:$PATH dpkg --admindir="$work/dpkg" --instdir="$work/root" --force-not-root --force-depends \
     --force-script-chrootless -i "$runtime" "$dev" >"$work/dpkg.log" 2>&1; then
  dpkg --admindir="$work/dpkg" -L lumivane lumivane-dev | grep -F "/usr/$libdir/liblumivane-controls" | sed 's/^/   /'
  [ "$(dpkg --admindir="$work/dpkg" -L lumivane lumivane-dev | grep -c "^/usr/lib/liblumivane")" = 0 ] ||
    fail "dpkg -L shows libraries outside the multiarch folder"
  cmake_example deb "$work/root/usr"
  cmake_example deb-static "$work/root/usr" static
  pkgconfig_example deb "$work/root/usr" "$libdir"
else
  fail "the packages do not install"; tail -n 20 "$work/dpkg.log"
fi

if [ $failures -ne 0 ]; then
  echo "installed library: $failures failure(s)"
  exit 1
fi
echo "installed library: all good"
