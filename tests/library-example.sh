#!/usr/bin/env bash
# Builds the documented C example (doc/library-example.c, the one that
# quorvel/v2gen.h shows) against an installed library, once through
# pkg-config alone and once through find_package in a small CMake project,
# and runs both: each must make the four images and say what the command
# would say of the example's inputs. Each is built twice: linked to the
# shared library, whose SONAME, needs and exports are checked too, and
# statically; all four run natively, or under QEMU for ARM.
# usage: tests/library-example.sh PREFIX [CC EMULATOR TOOLCHAIN_FILE]
#   CC, EMULATOR and TOOLCHAIN_FILE for an ARM build (CC named
#   TRIPLET-gcc, whose sysroot /usr/TRIPLET QEMU loads the C library from).
set -euo pipefail
prefix=$(realpath "$1")
cc=${2:-cc}
emulator=${3:-}
toolchain=${4:-}
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The header's example is the documented file, line for line.
sed -n '/^ \*   #include <quorvel\/v2gen.h>/,/^ \*   }$/p' "$prefix/include/quorvel/v2gen.h" \
  | sed -e 's/^ \*   //' -e 's/^ \*$//' > "$work/from-header.c"
diff "$work/from-header.c" "$source/doc/library-example.c"

# Only the interface's own names are global in the library: a program that
# links it meets no other name of it.
others=$(readelf -sW "$(find "$prefix" -name libquorvel-v2gen.a)" \
  | awk '$1 ~ /^[0-9]+:$/ && $5 != "LOCAL" && $7 != "UND" && $8 !~ /^qv2gen_/ { print $8 }')
[ -z "$others" ] || { echo "libquorvel-v2gen.a: global names besides qv2gen_: $others" >&2; exit 1; }

# Wherever the build put them (lib, or Debian's lib/<triplet>).
pc=$(dirname "$(find "$prefix" -name quorvel-v2gen.pc)")
config=$(dirname "$(find "$prefix" -name quorvel-v2genConfig.cmake)")
# Each form: linked to the shared library (the default) and statically
# (pkg-config --static and -static; CMake's quorvel::v2gen-static).
for form in shared static; do
  static=() pcstatic=() cmakestatic=()
  [ "$form" = shared ] || { static=(-static); pcstatic=(--static); cmakestatic=(-DQUORVEL_STATIC=ON); }
  read -ra flags <<< "$(PKG_CONFIG_PATH="$pc" pkg-config "${pcstatic[@]}" --cflags --libs quorvel-v2gen)"
  "$cc" -std=c99 -Wall -Wextra -Werror "${static[@]}" -o "$work/$form-by-pkg-config" \
    "$source/doc/library-example.c" "${flags[@]}"
  cmake -S "$source/tests/library-consumer" -B "$work/$form-by-cmake" -DCMAKE_BUILD_TYPE=Release \
    ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} -Dquorvel-v2gen_DIR="$config" "${cmakestatic[@]}" \
    -DCMAKE_EXE_LINKER_FLAGS="${static[*]}" > "$work/cmake.log" || { cat "$work/cmake.log" >&2; exit 1; }
  cmake --build "$work/$form-by-cmake" > "$work/build.log" || { cat "$work/build.log" >&2; exit 1; }
done
examples=("$work/shared-by-pkg-config" "$work/shared-by-cmake/example" "$work/static-by-pkg-config"
          "$work/static-by-cmake/example")

# The shared library: its SONAME, its one need (the C library), and the
# interface's names alone exported; the examples linked to it say so.
so=$(find "$prefix" -name 'libquorvel-v2gen.so.*.*.*')
readelf -d "$so" | grep -q 'Library soname: \[libquorvel-v2gen.so.0\]' || { echo "$so: no SONAME" >&2; exit 1; }
needs=$(readelf -d "$so" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | grep -v '^libc.so.6$\|^ld-linux' || true)
[ -z "$needs" ] || { echo "$so: needs $needs" >&2; exit 1; }
exported=$(nm -D --defined-only "$so" | awk '$3 !~ /^qv2gen_/ { print $3 }')
[ -z "$exported" ] || { echo "$so: exports besides qv2gen_: $exported" >&2; exit 1; }
for example in "${examples[@]:0:2}"; do
  readelf -d "$example" | grep -q 'Shared library: \[libquorvel-v2gen.so.0\]' \
    || { echo "$example: not linked to the shared library" >&2; exit 1; }
done
# The loader finds the library in the prefix; under QEMU, the processor's own
# C library comes from the cross compiler's sysroot (/usr/<triplet>).
export LD_LIBRARY_PATH
LD_LIBRARY_PATH=$(dirname "$so")
if [ -n "$emulator" ]; then
  export QEMU_LD_PREFIX
  QEMU_LD_PREFIX=/usr/$(basename "$cc" | sed 's/-gcc$//')
fi
# What the example prints: tests/library-consumer/expected-out and expected-err.
for example in "${examples[@]}"; do
  $emulator "$example" > "$work/out" 2> "$work/err"
  diff "$source/tests/library-consumer/expected-out" "$work/out"
  diff "$source/tests/library-consumer/expected-err" "$work/err"
  echo "$example${emulator:+ under $emulator}: the images and the warnings, as documented"
done
