# SPDX-License-Identifier: MIT
# The project as a parent project, a packager and an old compiler take it;
# for tests/consumers/check (sourced).
case $check in
  subproject)
    mkdir -p "$work/parent"
    cat > "$work/parent/CMakeLists.txt" <<PARENT
cmake_minimum_required(VERSION 3.16)
project(parent C CXX)
include(CTest)
add_library(project_options INTERFACE)
add_executable(unit_tests main.c)
add_test(NAME parent_test COMMAND unit_tests)
add_subdirectory("$source" client_check)
set(CPACK_PACKAGE_NAME parent)
set(CPACK_PACKAGE_VERSION 2.0)
set(CPACK_SOURCE_GENERATOR TGZ)
include(CPack)
PARENT
    echo 'int main(void) { return 0; }' > "$work/parent/main.c"
    run "$work/configure.log" cmake -S "$work/parent" -B "$work/build"
    run "$work/build.log" cmake --build "$work/build" -j2
    [ -x "$work/build/client_check/client_check" ] || fail "no client_check in the parent's build"
    built=$(cd "$work/build/client_check" && find . -type f \( -perm -u+x -o -name '*.so' \) | grep -v CMakeFiles |
      sort | tr '\n' ' ')
    [ "$built" = "./client_check ./client_check-explain " ] ||
      fail "the parent's build has more of ours than our programs: $built"
    tests=$(cd "$work/build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p')
    [ "$tests" = parent_test ] || fail "the parent's tests are not its own alone: $tests"
    grep -q 'CPACK_SOURCE_PACKAGE_FILE_NAME "parent-2.0-Source"' "$work/build/CPackSourceConfig.cmake" ||
      fail "the parent's source package is not its own"
    [ -z "$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$work/build/CMakeCache.txt")" ] ||
      fail "the parent's build type was set"
    echo "subproject: the parent builds our programs alone, runs its own test, packs its own sources" ;;

  read-only-source)
    command -v musl-gcc > /dev/null || skip "no musl-gcc (musl-tools)"
    copy_sources "$work/src"
    find "$work/src" -exec touch -d '2000-01-01' {} +
    (cd "$work/src" && find . | sort) > "$work/before"
    for toolchain in x86_64-musl arm-musl; do
      [ "$toolchain" != arm-musl ] || [ -r /usr/lib/arm-linux-musleabihf/musl-gcc.specs ] || continue
      run "$work/$toolchain.log" cmake -S "$work/src" -B "$work/build-$toolchain" -DBUILD_TESTING=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/$toolchain.cmake"
      run "$work/$toolchain.log" cmake --build "$work/build-$toolchain"
    done
    (cd "$work/src" && find . | sort) > "$work/after"
    diff -u --label before --label after "$work/before" "$work/after" || fail "files appeared in the sources"
    changed=$(find "$work/src" -newermt '2000-01-02')
    [ -z "$changed" ] || fail "files changed in the sources: $changed"
    echo "read-only-source: the musl toolchain files configured and built without writing to the sources" ;;

  hardening)
    toolchain=$3
    command -v dpkg-buildflags > /dev/null || skip "no dpkg-buildflags (dpkg-dev)"
    command -v hardening-check > /dev/null || skip "no hardening-check (devscripts)"
    flags=()
    [ "$toolchain" = - ] || flags=(-DCMAKE_TOOLCHAIN_FILE="$source/$toolchain")
    (
      eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
      cmake -S "$source" -B "$work/build" -DBUILD_TESTING=OFF "${flags[@]}" > "$work/build.log" 2>&1 &&
        cmake --build "$work/build" >> "$work/build.log" 2>&1
    ) || { tail -n 20 "$work/build.log" >&2; fail "the build with the packager's flags failed"; }
    hardening-check --nocfprotection "$work/build/client_check" ||
      fail "the packager's hardening did not reach the tool"
    grep -q -- '-O2' "$work/build/CMakeFiles/client_check.dir/flags.make" ||
      fail "the packager's -O2 was not used"
    ! grep -q -- '-Os' "$work/build/CMakeFiles/client_check.dir/flags.make" ||
      fail "our -Os overrode the packager's -O2" ;;

  compiler)
    cc=$3 cxx=$4
    run "$work/build.log" cmake -S "$source" -B "$work/build" -DBUILD_TESTING=OFF \
      -DCLIENT_CHECK_WERROR=ON -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx"
    run "$work/build.log" cmake --build "$work/build"
    status=0
    "$work/build/client_check" 2> /dev/null || status=$?
    [ "$status" -eq 254 ] || fail "built with $cxx, the tool answered $status to no argument"
    echo "compiler: $cc and $cxx build the tool" ;;

esac
