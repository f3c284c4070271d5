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
  # x64 is optimised across files at link time, which drops and merges what a
  # file cannot see is unused elsewhere; its fault guard, whose symbols only
  # assembler code names, stays an ordinary object, as the link-time optimiser
  # would take them for unused. (The x86 linker of this toolchain crashes on
  # link-time optimised objects that call the C library when, as here, the
  # runtime's start-up code is not linked.)
  # x86, whose 80386 code takes the most room, keeps no frame pointer, and
  # everything but the measuring code is compiled smaller still (-Oz), where
  # speed counts for nothing: windows, settings, the link control, start-up.
  # The measuring code and the processor's instructions it times with keep -Os, so that
  # their timed paths stay as they are.
  # Reproducible: no compiler banner, no source or build folder in the output,
  # no link time in the PE header.
  set(zyk_release_flags -Os -ffunction-sections -fno-exceptions -fno-rtti -malign-data=abi
      -fno-ident "-ffile-prefix-map=${CMAKE_BINARY_DIR}/=" "-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=")
  if(ZYK_ARCH STREQUAL "x86")
    list(APPEND zyk_release_flags -fno-asynchronous-unwind-tables -fno-jump-tables -fomit-frame-pointer)
  else()
    list(APPEND zyk_release_flags -flto)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/measure/fault_guard_x64.cpp
      DIRECTORY ${CMAKE_SOURCE_DIR}/measure PROPERTIES COMPILE_OPTIONS -fno-lto)
    target_link_options(Zyklomatrix PRIVATE -Os -flto)
  endif()
  foreach(target IN LISTS zyk_program_targets)
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${zyk_release_flags}>")
    if(ZYK_ARCH STREQUAL "x86" AND NOT target MATCHES "^zyk_(measure|processor)$")
      target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:-Oz>")
    endif()
  endforeach()
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
