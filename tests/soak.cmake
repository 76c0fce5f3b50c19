# The soak (label soak): a 50 000-pump aimed game with steering, replayed to
# 10 000 and to 50 000 pumps; the replay tool's peak memory must not grow with
# the length of the run. tests/soak/aimed-50000.txt was written by the
# autopilot for seed 7.
if(TARGET quorvaner-replay)
  add_executable(peak_memory ${CMAKE_CURRENT_LIST_DIR}/soak/peak_memory.cpp)
  add_test(NAME soak.peak_memory
    COMMAND peak_memory $<TARGET_FILE:quorvaner-replay> ${CMAKE_CURRENT_LIST_DIR}/soak/aimed-50000.txt 7 10000 50000
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/data)
  # The address sanitizer keeps freed blocks in a quarantine (up to 256 MB) that
  # fills with the length of the run, so the soak switches it off and compares
  # live memory; the rest of the sanitizer suite keeps it for late use of freed
  # blocks.
  set_tests_properties(soak.peak_memory PROPERTIES LABELS soak TIMEOUT 2400
    ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::quarantine_size_mb=0")
endif()
