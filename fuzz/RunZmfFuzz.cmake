# Seeds a fresh corpus and runs zmf_fuzz over it for a fixed number of inputs; fails when the
# fuzzer reports anything. Run as
#   cmake -DFUZZER=<zmf_fuzz> -DSEEDER=<zmf_seed_corpus> -DWORK_DIR=<dir> -P RunZmfFuzz.cmake
foreach(var FUZZER SEEDER WORK_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "RunZmfFuzz.cmake needs -D${var}=...")
    endif()
endforeach()
if(NOT DEFINED RUNS)
    set(RUNS 200000)
endif()

set(corpus "${WORK_DIR}/corpus")
set(artifacts "${WORK_DIR}/artifacts")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${corpus}" "${artifacts}")

execute_process(COMMAND "${SEEDER}" "${corpus}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "zmf_seed_corpus failed: ${result}")
endif()

# A fixed seed makes a failure reproducible with the same command line.
execute_process(
    COMMAND "${FUZZER}" -runs=${RUNS} -max_len=4096 -seed=20240601 -print_final_stats=1
            "-artifact_prefix=${artifacts}/" "${corpus}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "zmf_fuzz found a problem (exit ${result}); inputs in ${artifacts}")
endif()
