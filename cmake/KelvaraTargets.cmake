# Helpers that every folder's CMakeLists.txt uses, so that targets are declared the same way.

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)
set(KELVARA_BIN_DIR ${PROJECT_BINARY_DIR}/bin)
set(KELVARA_TEST_HOME ${PROJECT_BINARY_DIR}/test-home)

# Subfolders of DIR that hold a CMakeLists.txt, added in name order.
function(kelvara_add_subfolders dir)
    file(GLOB children RELATIVE ${dir} ${dir}/*)
    list(SORT children)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY ${dir}/${child} AND EXISTS ${dir}/${child}/CMakeLists.txt)
            add_subdirectory(${dir}/${child})
        endif()
    endforeach()
endfunction()

# Where the installed program finds its shared libraries, and the run-time search paths that
# lead there, relative to the binary ($ORIGIN), both in the build tree and once installed: the
# build tree and the installed tree can be moved as a whole.
include(GNUInstallDirs)
set(KELVARA_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR}/kelvara)
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
file(RELATIVE_PATH _kelvara_bin_to_lib
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${KELVARA_INSTALL_LIBDIR})
set(CMAKE_INSTALL_RPATH "$ORIGIN/${_kelvara_bin_to_lib}")
# A module installed one folder below the executable (LAV/LAVVideo.ax).
set(KELVARA_MODULE_INSTALL_RPATH "$ORIGIN/../${_kelvara_bin_to_lib}")

# kelvara_library(<name> SOURCES ... [DEPS ...]): a library whose headers are included from the
# project root ("platform/ui/MessageWindow.h"). The platform's libraries (kelvara_platform_*)
# are shared: they hold the process-wide services (the class registry, the registry hive, the
# graph trace, allocator bookkeeping, the application object), and the program, the tools, the
# tests and the loadable decoder modules must all use the one copy of them in the process. The
# other libraries are static.
function(kelvara_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(name MATCHES "^kelvara_platform_")
        add_library(${name} SHARED ${ARG_SOURCES})
        # No <name>_EXPORTS definition: nothing uses it, and the objects keep the static
        # library's compile line.
        # Installed side by side, they find each other in their own folder.
        set_target_properties(${name} PROPERTIES DEFINE_SYMBOL "" INSTALL_RPATH "$ORIGIN")
        install(TARGETS ${name} LIBRARY DESTINATION ${KELVARA_INSTALL_LIBDIR})
    else()
        add_library(${name} STATIC ${ARG_SOURCES})
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kelvara_module(<name> FOLDER <sub-folder of bin> OUTPUT <file name> SOURCES ... [DEPS ...]):
# a loadable class module (exporting DllGetClassObject) built into bin/<sub-folder>/<file name>
# and installed beside the installed executable in the same sub-folder. Only the entry points are
# visible; the platform comes from its shared libraries.
function(kelvara_module name)
    cmake_parse_arguments(ARG "" "FOLDER;OUTPUT" "SOURCES;DEPS" ${ARGN})
    add_library(${name} MODULE ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    get_filename_component(base ${ARG_OUTPUT} NAME_WE)
    get_filename_component(suffix ${ARG_OUTPUT} LAST_EXT)
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        OUTPUT_NAME ${base}
        SUFFIX ${suffix}
        LIBRARY_OUTPUT_DIRECTORY ${KELVARA_BIN_DIR}/${ARG_FOLDER}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        INSTALL_RPATH "${KELVARA_MODULE_INSTALL_RPATH}")
    install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR}/${ARG_FOLDER})
endfunction()

# kelvara_module_files(FOLDER <sub-folder of bin> FILES ...): data files of a module (its
# settings file), copied into bin/<sub-folder> (again whenever they change) and installed there.
function(kelvara_module_files)
    cmake_parse_arguments(ARG "" "FOLDER" "FILES" ${ARGN})
    foreach(file IN LISTS ARG_FILES)
        get_filename_component(fname ${file} NAME)
        configure_file(${file} ${KELVARA_BIN_DIR}/${ARG_FOLDER}/${fname} COPYONLY)
    endforeach()
    install(FILES ${ARG_FILES} DESTINATION ${CMAKE_INSTALL_BINDIR}/${ARG_FOLDER})
endfunction()

# kelvara_executable(<name> SOURCES ... [DEPS ...])
function(kelvara_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# The environment of fuzz targets and other plain CTest tests (GoogleTest executables set the
# same up in their main): offscreen Qt, a fixed locale, and a home folder of its own so
# that nothing a test does touches the real user's settings, pictures or desktop.
set(KELVARA_TEST_ENV
    "QT_QPA_PLATFORM=offscreen"
    "LC_ALL=C.UTF-8"
    "HOME=${KELVARA_TEST_HOME}"
    "XDG_CONFIG_HOME=${KELVARA_TEST_HOME}/.config"
    "XDG_DATA_HOME=${KELVARA_TEST_HOME}/.local/share"
    "XDG_RUNTIME_DIR=${KELVARA_TEST_HOME}/run"
    "KELVARA_REGISTRY=${KELVARA_TEST_HOME}/.config/kelvara/user.reg"
    "KELVARA_BIN_DIR=${KELVARA_BIN_DIR}"
    "SDL_AUDIODRIVER=dummy"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/tsan.supp:halt_on_error=1:second_deadlock_stack=1")

# kelvara_test(<name> LABEL <label> SOURCES ... [DEPS ...] [TIMEOUT s] [SERIAL])
# A GoogleTest executable with a QApplication main; each test case becomes one CTest test.
function(kelvara_test name)
    cmake_parse_arguments(ARG "SERIAL" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} kelvara_test_main)
    target_compile_definitions(${name} PRIVATE
        KELVARA_BIN_DIR="${KELVARA_BIN_DIR}"
        KELVARA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    # The environment of a test executable is set up by its main (tests/support/TestMain.cpp):
    # gtest_discover_tests cannot carry a list-valued ENVIRONMENT property through to the tests.
    set(props LABELS "${ARG_LABEL}" TIMEOUT ${ARG_TIMEOUT})
    if(ARG_SERIAL)
        list(APPEND props RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ${props})
endfunction()

# kelvara_fuzzer(<name> SOURCES ... [DEPS ...] [SEEDS dir] [RUNS n] [MAX_LEN n] [LABEL label])
# The sources define LLVMFuzzerTestOneInput. With KELVARA_FUZZ (clang) the target is a libFuzzer
# binary; otherwise it is linked with a small driver that replays the seeds and deterministic
# mutations of them, so that every build (and the sanitizer build in CI) exercises the target.
function(kelvara_fuzzer name)
    cmake_parse_arguments(ARG "" "SEEDS;RUNS;MAX_LEN;LABEL" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_RUNS)
        set(ARG_RUNS 2000)
    endif()
    if(NOT ARG_MAX_LEN)
        set(ARG_MAX_LEN 4096)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    if(KELVARA_FUZZ)
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        target_link_libraries(${name} PRIVATE kelvara_fuzz_driver)
    endif()
    set(args -runs=${ARG_RUNS} -max_len=${ARG_MAX_LEN} -seed=1)
    if(ARG_SEEDS)
        list(APPEND args ${ARG_SEEDS})
    endif()
    set(label fuzz)
    if(ARG_LABEL)
        list(APPEND label ${ARG_LABEL})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${args})
    set_tests_properties(${name} PROPERTIES LABELS "${label}" TIMEOUT 300
        ENVIRONMENT "${KELVARA_TEST_ENV}")
endfunction()

# kelvara_benchmark(<name> SOURCES ... [DEPS ...]): a Google Benchmark program (not a test).
function(kelvara_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    if(NOT KELVARA_BUILD_BENCH)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
