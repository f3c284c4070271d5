# The oldest processor each program runs on. The x64 program: the first x86-64 processors,
# which is what the compiler and its prebuilt runtime target. The x86 program: the 80386 with
# an 80387, the oldest processor 32-bit Windows runs on. There the compiler and its prebuilt
# runtime target the Pentium Pro, whose CMOV and FCOMI older processors lack, so:
#   - the program's own code is compiled for the 80386, without exception handling (the
#     program throws none, and the runtime's exception machinery is prebuilt);
#   - the process starts through the program's own entry (app/process_start.cpp) rather
#     than the runtime's start-up code;
#   - the compiler's helper routines the program calls (64-bit division) are the project's
#     own (zyk_x86_runtime), linked after every library that calls them;
#   - the two files whose atomic values the workers share with the dialog are compiled for
#     the Pentium, so that the compiler may treat an 8-byte load or store as one atomic access
#     (they use only loads and stores: a MOV, or an 80387 FILD or FISTP of 8 bytes, which no
#     thread switch can split, and which the Pentium makes atomic across processors too).
# tests/image reads both programs' code for instructions beyond these processors.
# Included after cmake/ZykRelease.cmake, whose list of the program's targets it uses.

if(ZYK_ARCH STREQUAL "x86")
  set(zyk_oldest_processor_flags -march=i386 $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
  # The program's libraries.
  foreach(target IN LISTS zyk_program_targets ITEMS zyk_x86_runtime)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      continue()
    endif()
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${zyk_oldest_processor_flags}>")
    if(NOT target STREQUAL "zyk_x86_runtime")
      target_link_libraries(${target} PUBLIC zyk_x86_runtime)
    endif()
  endforeach()
  # The program, and its build as on a 486 for the end-to-end tests.
  set(zyk_x86_programs Zyklomatrix)
  if(TARGET zyk_program_486)
    list(APPEND zyk_x86_programs zyk_program_486)
  endif()
  foreach(program IN LISTS zyk_x86_programs)
    target_sources(${program} PRIVATE ${CMAKE_SOURCE_DIR}/app/process_start.cpp)
    target_compile_options(${program} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${zyk_oldest_processor_flags}>")
    target_link_libraries(${program} PRIVATE zyk_x86_runtime)
    # No runtime start-up, and so nothing that would need its relocation of imported data.
    target_link_options(${program} PRIVATE -nostartfiles LINKER:--disable-runtime-pseudo-reloc)
  endforeach()
  set_source_files_properties(measure/result_table.cpp measure/test_parameters.cpp
    TARGET_DIRECTORY zyk_measure PROPERTIES COMPILE_OPTIONS -march=pentium)
endif()
