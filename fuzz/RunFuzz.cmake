# Seeds a fresh corpus and runs a fuzzer over it for a fixed number of inputs; fails when the
# fuzzer reports anything. Run as
#   cmake -DFUZZER=<fuzzer> [-DSEEDER=<seed corpus maker>] -DWORK_DIR=<dir> [-DMAX_LEN=<n>]
#         -P RunFuzz.cmake
foreach(var FUZZER WORK_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "RunFuzz.cmake needs -D${var}=...")
    endif()
endforeach()
if(NOT DEFINED RUNS)
    set(RUNS 200000)
endif()
if(NOT DEFINED MAX_LEN)
    set(MAX_LEN 4096)
endif()
get_filename_component(name "${FUZZER}" NAME)

set(corpus "${WORK_DIR}/corpus")
set(artifacts "${WORK_DIR}/artifacts")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${corpus}" "${artifacts}")

if(DEFINED SEEDER)
    execute_process(COMMAND "${SEEDER}" "${corpus}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${SEEDER} failed: ${result}")
    endif()
endif()

# A fixed seed makes a failure reproducible with the same command line.
execute_process(
    COMMAND "${FUZZER}" -runs=${RUNS} -max_len=${MAX_LEN} -seed=20240601 -print_final_stats=1
            "-artifact_prefix=${artifacts}/" "${corpus}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${name} found a problem (exit ${result}); inputs in ${artifacts}")
endif()
