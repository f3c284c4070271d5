# How Zyklomatrix.exe is compiled: in every build, the program's numbers are
# formatted by the platform's C runtime; with ZYK_RELEASE, the build is the
# small, reproducible one that is shipped. Included at the end of the top
# CMakeLists.txt, once every target exists.

option(ZYK_RELEASE "Build Zyklomatrix.exe as it is shipped: small and reproducible" OFF)

# zyk_linked_targets(<list variable> <target>): appends <target> and every
# library target it links, directly or through other libraries, so that a
# library added to the program later is covered too.
function(zyk_linked_targets out target)
  set(found ${${out}})
  if(NOT target IN_LIST found)
    list(APPEND found ${target})
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libraries ${target} ${property})
      foreach(library IN LISTS libraries)
        if(TARGET ${library})
          zyk_linked_targets(found ${library})
        endif()
      endforeach()
    endforeach()
  endif()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

set(zyk_program_targets "")
zyk_linked_targets(zyk_program_targets Zyklomatrix)
# The x86 program's runtime helpers are linked in later (cmake/ZykOldestProcessor.cmake).
if(TARGET zyk_x86_runtime)
  list(APPEND zyk_program_targets zyk_x86_runtime)
endif()

# sprintf and snprintf of the program's own code are the platform's (msvcrt),
# not MinGW's replacement with its own float formatting. Defining
# __USE_MINGW_ANSI_STDIO as 0 is not enough on its own: libstdc++'s
# configuration header sets it to 1 again, so every translation unit reads
# stdio.h first, while the setting is still 0.
foreach(target IN LISTS zyk_program_targets)
  target_compile_definitions(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:__USE_MINGW_ANSI_STDIO=0>)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include stdio.h>")
endforeach()

if(ZYK_RELEASE)
  # Small: optimised for size; no exception tables or type information (the
  # program throws none and asks for none); every function in a section of its
  # own, so that the linker drops what nothing uses; data aligned as their types
  # require, not larger arrays to 32 bytes as for old compilers' code; no symbols.
  # x64 keeps its unwind tables: the system's unwinder needs them to walk
  # through the program's frames when it dispatches an exception. x86 compiles
  # a switch as compares rather than a table of addresses, which takes less
  # room there (a table needs a relocation for each of its entries).
  # x86, whose 80386 code takes the most room, keeps no frame pointer, and
  # everything but the timed code is compiled smaller still (-Oz), where speed
  # counts for nothing: windows, settings, the link control, start-up, what the
  # processor and the system are asked. A function called from one place only
  # stays out of line there: inlined, its caller's 80386 code grows by more
  # than the call costs (on x64 the opposite holds, with its unwind records).
  # That code also calls the system's functions through the import's jump stub
  # (the headers' DECLSPEC_IMPORT defined empty): a call is then 5 bytes with
  # no relocation, where one through the import address is 6 bytes with one;
  # each function called so takes one 8-byte stub with one relocation instead.
  # The measuring code, and the processor's instructions it times with
  # (processor_instructions.cpp), keep -Os and direct import calls, so that
  # their timed paths stay as they are.
  # Both programs are optimised across files at link time, which drops and
  # merges what a file cannot see is unused elsewhere. Each function keeps the
  # optimisation level its own file was compiled with (the compiler records it
  # with the function, and the link's -Os does not override it), so -Os and -Oz
  # hold as above. Kept out of it (ordinary objects, as compiled on their own):
  #   - the x64 fault guard, whose symbols only assembler code names, as the
  #     link-time optimiser would take them for unused;
  #   - on x86, the measuring code, its fault guard with it, and the processor's
  #     instructions, so that no code of another file is inlined into their
  #     timed paths nor theirs into other code: it is the code that was timed
  #     (on x64 it has been optimised at link time all along);
  #   - on x86, the compiler's helper routines (zyk_x86_runtime): calls to them
  #     are made by the code generator, after the link-time optimiser has
  #     already dropped every definition nothing named, and would then be
  #     taken from the compiler's own library, built for the Pentium Pro.
  # Reproducible: no compiler banner, no source or build folder in the output,
  # no link time in the PE header.
  set(zyk_release_flags -Os -ffunction-sections -fno-exceptions -fno-rtti -malign-data=abi -flto
      -fno-ident "-ffile-prefix-map=${CMAKE_BINARY_DIR}/=" "-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=")
  set_source_files_properties(${CMAKE_SOURCE_DIR}/measure/fault_guard_x64.cpp
    DIRECTORY ${CMAKE_SOURCE_DIR}/measure PROPERTIES COMPILE_OPTIONS -fno-lto)
  target_link_options(Zyklomatrix PRIVATE -Os -flto)
  if(ZYK_ARCH STREQUAL "x86")
    list(APPEND zyk_release_flags -fno-asynchronous-unwind-tables -fno-jump-tables -fomit-frame-pointer)
  endif()
  # Both programs link without the runtime's start-up code (app/process_start.cpp says why),
  # which names the C library functions it calls. Link-time objects do not list the
  # functions the compiler itself may call or drop (memmove, strlen, malloc, free and the
  # like, and the helper routines): the linker meets them only in the optimiser's output,
  # and this linker (binutils 2.40, i386pe and i386pep alike) crashes with signal 11 when it
  # must load the members that define them then. Named undefined here, they are loaded
  # before the optimiser runs. A C library function the compiler knows, called for the first
  # time, belongs here too (the link crashes until it is); on x86, one name of the helper
  # routines loads the file that holds all four. The entry point is named for the same
  # reason: the linker's default one is not known to the optimiser as used, so it would
  # drop it.
  set(zyk_first_pass_symbols abort calloc exit free malloc memcmp memmove realloc sprintf
    strcmp strlen strncat)
  set(zyk_entry_point WinMainCRTStartup)
  if(ZYK_ARCH STREQUAL "x86")
    list(APPEND zyk_first_pass_symbols __udivdi3)
    # x86 symbols carry a leading underscore.
    list(TRANSFORM zyk_first_pass_symbols PREPEND "_")
    set(zyk_entry_point _${zyk_entry_point})
  else()
    target_sources(Zyklomatrix PRIVATE ${CMAKE_SOURCE_DIR}/app/process_start.cpp)
    target_link_options(Zyklomatrix PRIVATE -nostartfiles LINKER:--disable-runtime-pseudo-reloc)
  endif()
  list(TRANSFORM zyk_first_pass_symbols PREPEND "LINKER:-u,")
  target_link_options(Zyklomatrix PRIVATE ${zyk_first_pass_symbols} LINKER:-e,${zyk_entry_point})
  if(ZYK_ARCH STREQUAL "x86")
    target_link_options(Zyklomatrix PRIVATE -Werror=frame-larger-than=3999)
  endif()
  # The -Oz code of x86 goes without stack probes: a probe is needed only
  # where one function moves the stack pointer by a page or more at once, and
  # with probes on, the compiler must also store every call's arguments into
  # a reserved area (mov) instead of pushing them, 3.5 KiB more of 80386 code.
  # The compiler and the link therefore refuse a function of that code whose
  # frame reaches 4,000 bytes (the compiler's own probe limit), and any
  # variable-length array or alloca: large buffers are static or on the heap.
  # The timed code keeps its probes and its stores, as it was timed.
  set(zyk_smallest_flags -Oz -fno-inline-functions-called-once -mno-stack-arg-probe
    -Werror=vla -Werror=alloca -Werror=frame-larger-than=3999)
  foreach(target IN LISTS zyk_program_targets)
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${zyk_release_flags}>")
    if(ZYK_ARCH STREQUAL "x86" AND NOT target STREQUAL "zyk_measure")
      target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${zyk_smallest_flags}>")
      target_compile_definitions(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:DECLSPEC_IMPORT=>)
    endif()
  endforeach()
  if(ZYK_ARCH STREQUAL "x86")
    target_compile_options(zyk_measure PRIVATE -fno-lto)
    # What the measuring library holds besides the timed code: the start and bookkeeping of
    # the workers and the history's schedule, record and sampler, which call the timed
    # routines but are not timed themselves, are compiled as the rest of the program.
    set(zyk_untimed_sources processor_workers.cpp history/history_schedule.cpp
      history/history_record.cpp history/history_sampler.cpp)
    list(TRANSFORM zyk_untimed_sources PREPEND ${CMAKE_SOURCE_DIR}/measure/)
    set_source_files_properties(${zyk_untimed_sources} DIRECTORY ${CMAKE_SOURCE_DIR}/measure
      PROPERTIES COMPILE_OPTIONS "${zyk_smallest_flags};-flto"
      COMPILE_DEFINITIONS "DECLSPEC_IMPORT=")
    set_source_files_properties(${CMAKE_SOURCE_DIR}/processor/processor_instructions.cpp
      DIRECTORY ${CMAKE_SOURCE_DIR}/processor PROPERTIES COMPILE_OPTIONS "-Os;-fno-lto")
    target_compile_options(zyk_x86_runtime PRIVATE -fno-lto)
  endif()
  target_link_options(Zyklomatrix PRIVATE -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
elseif(ZYK_BUILD_TESTS)
  # The release program, built beside the test programs in release/ from the
  # same sources, so that the end-to-end tests run against it too. Its output
  # goes to log files in release-steps/ and is shown only when it fails.
  include(ExternalProject)
  set(zyk_release_dir ${CMAKE_BINARY_DIR}/release)
  set(zyk_release_args -DZYK_RELEASE=ON -DZYK_BUILD_TESTS=OFF)
  if(CMAKE_TOOLCHAIN_FILE)
    list(APPEND zyk_release_args -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE})
  endif()
  ExternalProject_Add(zyk_release
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${zyk_release_dir}
    PREFIX ${CMAKE_BINARY_DIR}/release-steps
    CMAKE_ARGS ${zyk_release_args}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target Zyklomatrix
    INSTALL_COMMAND ""
    BUILD_ALWAYS TRUE
    LOG_CONFIGURE TRUE
    LOG_BUILD TRUE
    LOG_OUTPUT_ON_FAILURE TRUE
    BUILD_BYPRODUCTS ${zyk_release_dir}/app/Zyklomatrix.exe)
  add_dependencies(ui_e2e_tests zyk_release)
  add_test(NAME ui_e2e_release_tests COMMAND ui_e2e_tests)
  set_tests_properties(ui_e2e_release_tests PROPERTIES TIMEOUT 300
    ENVIRONMENT "ZYK_PROGRAM=${zyk_release_dir}/app/Zyklomatrix.exe")
  # The release program is the one that ships: its header and imports are checked too.
  add_dependencies(image_tests zyk_release)
  add_test(NAME image_release_tests COMMAND image_tests)
  set_tests_properties(image_release_tests PROPERTIES
    ENVIRONMENT "ZYK_IMAGE=Z:${zyk_release_dir}/app/Zyklomatrix.exe")
endif()
