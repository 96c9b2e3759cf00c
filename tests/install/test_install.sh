#!/usr/bin/env bash
# The library as another program sees it. From the built tree build/ (static libraries) and a
# shared build (build-shared/, configured and built here): installs each into a fresh prefix and
# builds examples/first-window out of tree against it with find_package(Lumivane), then with only
# `pkg-config --cflags --libs lumivane`, then against the unpacked Debian package that cpack makes;
# each build runs headless and must draw the same picture. Every installed header must compile in
# a translation unit of its own against the prefix, pulling in no header that is not installed and
# none of Xlib, FreeType, fontconfig or libpng.
#
#   bash tests/install/test_install.sh [BUILD_DIR]     (default: build/, already built)
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
shared=$src/build-shared
example=$src/examples/first-window
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FONTCONFIG_FILE=$src/tests/fonts/fonts.conf LANG=C.UTF-8
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
  if [ -f "$work/static.png" ] && ! cmp -s "$work/static.png" "$work/$1.png"; then
    fail "$1: the example's picture differs from the one built against the static libraries"
  fi
}

# Builds the example with CMake against a prefix and runs it.
cmake_example() { # NAME PREFIX
  step "$1: example built with find_package(Lumivane)"
  if cmake -S "$example" -B "$work/ex-$1" -G Ninja -DCMAKE_PREFIX_PATH="$2" \
       ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher} >"$work/ex-$1.log" 2>&1 &&
     cmake --build "$work/ex-$1" >>"$work/ex-$1.log" 2>&1; then
    run_example "$1" "$work/ex-$1"
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

# The installed libraries and their names.
check_libraries() { # PREFIX LIBDIR KIND
  local lib
  for lib in gfx windows headless posix x11 framework controls; do
    if [ "$3" = static ]; then
      [ -f "$1/$2/liblumivane-$lib.a" ] || fail "liblumivane-$lib.a is not installed"
    else
      [ -L "$1/$2/liblumivane-$lib.so" ] && [ -f "$1/$2/liblumivane-$lib.so.1.0.0" ] ||
        fail "liblumivane-$lib.so and .so.1.0.0 are not installed"
      readelf -d "$1/$2/liblumivane-$lib.so.1.0.0" | grep -q 'SONAME.*\[liblumivane-'"$lib"'\.so\.1\]' ||
        fail "liblumivane-$lib.so.1.0.0 does not carry the SONAME liblumivane-$lib.so.1"
    fi
  done
  for program in formshot formview lumivane-notice lumivane-gallery; do
    [ -x "$1/bin/$program" ] || fail "bin/$program is not installed"
  done
  # An installed tool runs from the prefix (shared: it finds the libraries beside it).
  "$1/bin/formshot" "$src/app/frmMain.txt" --png "$work/notice-$3.png" >/dev/null ||
    fail "$3: the installed formshot does not run"
}

launcher=$(cached CMAKE_CXX_COMPILER_LAUNCHER)

echo "== installed library: static (from $build)"
cmake --install "$build" --prefix "$work/static" >/dev/null
libdir=$(cached CMAKE_INSTALL_LIBDIR)
check_libraries "$work/static" "$libdir" static
check_headers "$work/static"
check_namespace "$work/static" "$libdir"
cmake_example static "$work/static"
pkgconfig_example static "$work/static" "$libdir"

echo "== installed library: shared (build-shared/)"
cmake -S "$src" -B "$shared" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_SHARED_LIBS=ON \
  -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF -DLUMI_WERROR="$(cached LUMI_WERROR)" \
  ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher -DCMAKE_C_COMPILER_LAUNCHER=$launcher} >/dev/null
cmake --build "$shared" -j "$jobs" >"$work/shared-build.log" 2>&1 || { tail -n 40 "$work/shared-build.log"; exit 1; }
cmake --install "$shared" --prefix "$work/shared" >/dev/null
check_libraries "$work/shared" "$libdir" shared
cmake_example shared "$work/shared"

echo "== Debian package (cpack -G DEB of the shared build)"
(cd "$shared" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || { tail -n 40 "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/deb/lumivane_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | sort >"$work/deb-files"
for f in /usr/bin/formshot /usr/bin/formview /usr/bin/lumivane-notice /usr/bin/lumivane-gallery \
         /usr/include/lumivane/controls/ImButton.h /usr/include/lumivane/controls/KdUpDownEdit.h \
         /usr/include/lumivane/framework/Form.h /usr/include/lumivane/drivers/x11/X11Driver.h \
         /usr/$libdir/liblumivane-controls.so /usr/$libdir/liblumivane-controls.so.1 \
         /usr/$libdir/liblumivane-controls.so.1.0.0 /usr/$libdir/liblumivane-x11.so.1.0.0 \
         /usr/$libdir/cmake/Lumivane/LumivaneConfig.cmake /usr/$libdir/cmake/Lumivane/LumivaneTargets.cmake \
         /usr/$libdir/pkgconfig/lumivane.pc; do
  grep -qxF "$f" "$work/deb-files" || fail "the package lacks $f"
done
stray=$(grep -vE '^/usr($|/(bin|include/lumivane|'"$libdir"'|share/doc/lumivane)(/|$)|/include$|/share$|/share/doc$)' "$work/deb-files" || true)
[ -z "$stray" ] || fail "the package holds files outside its folders: $stray"
! grep -q 'Internal\.h$' "$work/deb-files" || fail "the package holds a private header"
dpkg-deb -f "$deb" Package Version Depends | sed 's/^/   /'
dpkg-deb -x "$deb" "$work/root"
cmake_example deb "$work/root/usr"
pkgconfig_example deb "$work/root/usr" "$libdir"

if [ $failures -ne 0 ]; then
  echo "installed library: $failures failure(s)"
  exit 1
fi
echo "installed library: all good"
