#!/usr/bin/env bash
# Installs the build tree into an empty prefix and builds the consumer with
# nothing but what the installation offers: gcc with pkg-config (shared and,
# with --static, the static libraries), gfortran with pkg-config, and CMake
# with find_package.  Every build must print the line of the in-process build
# and write the same ov file byte for byte.  The installed surface: headers in
# include/gridpick that include one another as <gridpick/x.h>, the names each
# shared library exports as listed in symbols/, every installed file hardened.
#   installed_tree_test.sh BUILD_DIR SOURCE_DIR REFERENCE_CONSUMER VERSION WORK_DIR
set -euo pipefail
build=$1 src=$2 ref=$3 version=$4 work=$5
here=$src/tests/install sample=$src/data/sample.grb prefix=$work/prefix
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "installed_tree_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >install.log
[ "$(cd "$prefix/include/gridpick" && echo *)" = "export.h grib.h ov.h ov.inc ov_cdf.h util.h" ] ||
  fail "headers installed: $(ls "$prefix/include/gridpick")"
! grep -n '#include "' "$prefix"/include/gridpick/*.h || fail "a header includes another by a bare name"
for program in "$prefix"/bin/*; do
  [ -f "$prefix/share/man/man1/${program##*/}.1" ] || fail "no manual page for ${program##*/}"
done
for lib in grib ov; do
  readelf -d "$prefix/lib/libgridpick-$lib.so" | grep -q "SONAME.*\[libgridpick-$lib.so.${version%%.*}\]" ||
    fail "libgridpick-$lib.so has no SONAME of major version ${version%%.*}"
  nm -D --defined-only "$prefix/lib/libgridpick-$lib.so" | awk '{print $3}' | LC_ALL=C sort >exported-$lib
  diff exported-$lib "$here/symbols/gridpick-$lib.txt" || fail "libgridpick-$lib.so exports other names"
done
bash "$here/hardening_test.sh" "$prefix/bin" "$prefix/lib" || fail "installed files not hardened"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig LD_LIBRARY_PATH=$prefix/lib
[ "$(pkg-config --modversion gridpick-ov gridpick-grib | uniq)" = "$version" ] || fail "pkg-config version"
cflags=$(pkg-config --cflags gridpick-ov gridpick-grib)
[[ " $cflags " = *" -I$prefix/include "* && $cflags != *include/gridpick* ]] || fail "pkg-config gives $cflags"
static_libs=$(pkg-config --static --libs gridpick-ov gridpick-grib |
              sed -E 's/-lgridpick-(ov|grib)/-l:libgridpick-\1.a/g')
gcc -Wall -Wextra -Werror -o c_shared "$here/consumer.c" $cflags $(pkg-config --libs gridpick-ov gridpick-grib)
gcc -o c_static "$here/consumer.c" $cflags $static_libs
! readelf -d c_static | grep -q libgridpick || fail "c_static needs a shared gridpick library"
gfortran -o f_shared "$here/consumer.f90" $cflags $(pkg-config --libs gridpick-ov gridpick-grib)
# Fortran sources that include 'ov.inc' by its bare name, with the fflags.
sed "s|include 'gridpick/ov.inc'|include 'ov.inc'|" "$here/consumer.f90" >bare.f90
gfortran -o f_bare bare.f90 $(pkg-config --variable=fflags gridpick-ov) $(pkg-config --libs gridpick-ov gridpick-grib)
cmake -S "$here/cmake" -B cmake-build -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
      -DBARE_F90="$work/bare.f90" >cmake.log
cmake --build cmake-build >>cmake.log

expected=$("$ref" "$sample" reference.ov)
[ "$expected" = "param 129 level 1000 date 79/1/1 0z grid 36x19" ] || fail "reference printed: $expected"
for consumer in ./c_shared ./c_static ./f_shared ./f_bare ./cmake-build/consumer ./cmake-build/consumer_f; do
  [ "$("$consumer" "$sample" out.ov)" = "$expected" ] || fail "$consumer printed another line"
  cmp -s reference.ov out.ov || fail "$consumer wrote another ov file"
done
echo "installed_tree_test: ok"
