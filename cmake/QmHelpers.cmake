# Helpers shared by every folder: one line declares a library, a test suite,
# a benchmark or a fuzz target with the project's warnings and defines.

set(QM_STRICT_DEFINES
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_FOREACH)

function(qm_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_compile_definitions(${target} PRIVATE ${QM_STRICT_DEFINES})
endfunction()

# qm_add_library(<name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# The folder is the include root: other targets include "<folder>/<Unit>.h".
function(qm_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    qm_target_defaults(${name})
endfunction()

# qm_add_program(<name> SOURCES ... LIBS ...)
function(qm_add_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        QM_VERSION="${PROJECT_VERSION}"
        QM_COPYRIGHT="${QM_COPYRIGHT}")
    qm_target_defaults(${name})
endfunction()

# qm_add_test(<name> SOURCES ... LIBS ... [WIDGETS])
# One GoogleTest executable per library. WIDGETS makes the test main create a
# QApplication (window tests) instead of a QGuiApplication.
function(qm_add_test name)
    cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_WIDGETS)
        target_link_libraries(${name} PRIVATE qm_test_main_widgets)
    else()
        target_link_libraries(${name} PRIVATE qm_test_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        QM_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        QM_CORPORA_DIR="${PROJECT_SOURCE_DIR}/../shared/corpora"
        QM_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples"
        QM_BINARY_DIR="${PROJECT_BINARY_DIR}")
    qm_target_defaults(${name})
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# qm_add_benchmark(<name> SOURCES ... LIBS ...)
function(qm_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
    qm_target_defaults(${name})
endfunction()

# qm_add_fuzzer(<name> SOURCES ... LIBS ...)
function(qm_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    qm_target_defaults(${name})
    set_property(GLOBAL APPEND PROPERTY QM_FUZZERS ${name})
endfunction()
