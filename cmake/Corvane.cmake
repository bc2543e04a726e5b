# Shared build helpers.

# How the i686 product code is generated; see corvane_product_target. launcher.exe's link
# generates its code again with these (link-time optimisation, CMakeLists.txt).
set(CORVANE_I686_CODEGEN -march=i386 -fno-asynchronous-unwind-tables -fno-unwind-tables
  -mpreferred-stack-boundary=2 -mno-accumulate-outgoing-args -mno-stack-arg-probe
  -Werror=frame-larger-than=4000 -malign-data=abi -fno-optimize-sibling-calls)

# Product code: small, no exceptions, no RTTI.
function(corvane_product_target target)
  # No exceptions, no RTTI, and no guarded statics: launcher.exe has no C++ runtime to call.
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  # Nothing in the product throws, so the i686 build needs no unwind tables: leaving them
  # out keeps about a tenth of launcher.exe off the disc. (x86_64 Windows needs them for
  # every function, whatever the language does.) The code runs on a 386; Windows guarantees
  # an i686 thread only a 4-byte aligned stack, and 386 code has nothing that wants more.
  # Arguments are pushed rather than stored into a reserved area: about a sixth of the code
  # less. GCC only does that without stack probes, which a frame below the 4 KiB guard page
  # never needs; a larger frame fails the build. Data is aligned only as its type needs, and
  # calls in tail position stay calls (turned into jumps, they cost more code than they save).
  if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    target_compile_options(${target} PRIVATE ${CORVANE_I686_CODEGEN})
  endif()
  if(WIN32)
    # One section a function, so that the link drops what launcher.exe does not call.
    target_compile_options(${target} PRIVATE -ffunction-sections)
    target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN STRICT)
  endif()
endfunction()

# The preprocessor for resource scripts: the cross compiler's, as windres uses it. llvm-rc
# would look for clang to preprocess with; it reads the result with -no-preprocess instead, so
# building launcher.exe needs no clang.
set(CORVANE_RC_PREPROCESS ${CMAKE_C_COMPILER} -E -P -xc -DRC_INVOKED)

# Compiles a resource script into an object file that links into a Windows target.
# llvm-rc keeps a dialog template's class name as written (GNU windres upper-cases it);
# windres then only turns the .res into a COFF object for the target architecture.
function(corvane_compile_rc out_var rc_file)
  get_filename_component(name ${rc_file} NAME_WE)
  set(pre ${CMAKE_CURRENT_BINARY_DIR}/${name}.pre.rc)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  set(obj ${CMAKE_CURRENT_BINARY_DIR}/${name}.res.o)
  add_custom_command(
    OUTPUT ${obj}
    COMMAND ${CORVANE_RC_PREPROCESS} -o ${pre} ${rc_file}
    COMMAND llvm-rc -no-preprocess -FO ${res} -- ${pre}
    COMMAND ${CMAKE_RC_COMPILER} -J res -O coff -i ${res} -o ${obj}
    DEPENDS ${rc_file} ${ARGN}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    VERBATIM)
  set(${out_var} ${obj} PARENT_SCOPE)
endfunction()

# The Wine prefix that every Windows test of one build tree shares. It is made
# (or refreshed) once per ctest run by the test fixture "wineprefix".
set(CORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CORVANE_WINEARCH win64)
  set(CORVANE_WINELOADER /usr/lib/wine/wine64)
else()
  set(CORVANE_WINEARCH win32)
  set(CORVANE_WINELOADER /usr/lib/wine/wine)
endif()
set(CORVANE_WINE_ENV
  "WINEPREFIX=${CORVANE_WINEPREFIX}"
  "WINEARCH=${CORVANE_WINEARCH}"
  "WINELOADER=${CORVANE_WINELOADER}"
  "WINEDEBUG=-all,warn+seh"
  "WINEDLLOVERRIDES=wing32=n")

# Wine logs (with WINEDEBUG=warn+seh) every exception that a program raises, also those it
# swallows inside a window procedure; one with an error code (0xC...) fails the test that
# saw it. Wine's own RPC exception 0x6BA is not one of them.
set(hex "[0-9a-fA-F]")
set(CORVANE_WINE_CRASH "code=[cC]${hex}${hex}${hex}${hex}${hex}${hex}${hex}\\)")

# A test that runs a Windows program under Wine in the shared prefix, one at a time, and
# fails on a crash that Wine logs.
function(corvane_add_wine_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  # A crash that Wine does not swallow starts its debugger, which waits for nobody: the time
  # limit ends such a run long before ctest's default of 25 minutes.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${CORVANE_WINE_ENV}"
    FAIL_REGULAR_EXPRESSION "${CORVANE_WINE_CRASH}"
    FIXTURES_REQUIRED wineprefix
    RUN_SERIAL TRUE
    TIMEOUT 300)
endfunction()

# One folder, one concern: its portable core (every .cpp not ending in _win.cpp) becomes
# <folder>_core, built everywhere; its Windows layer (*_win.cpp) becomes <folder>_win,
# built for Windows only. main.cpp belongs to the program, not to a library.
#
# The product's folders are layers (launcher -> startup -> installer -> bitmap -> common):
# BELOW names the one right under a folder, BOTTOM marks common. Both libraries link the
# folder below, and through it every folder further down, and nothing above. On Windows the
# build then links a layer's whole code with exactly those folders into a check library,
# <folder>_layer, in which every reference must resolve: a call that runs back up to a folder
# above fails the build there. Folders outside the product (disccheck, mktitle) name neither
# and link what they use themselves.
function(corvane_folder name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "BOTTOM" "BELOW" "")
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER all EXCLUDE REGEX "/main\\.cpp$")
  set(core ${all})
  list(FILTER core EXCLUDE REGEX "_win\\.cpp$")
  set(win ${all})
  list(FILTER win INCLUDE REGEX "_win\\.cpp$")
  add_library(${name}_core STATIC ${core})
  corvane_product_target(${name}_core)
  set(layers ${name})
  if(arg_BELOW)
    target_link_libraries(${name}_core PUBLIC ${arg_BELOW}_core)
    get_property(lower GLOBAL PROPERTY corvane_layers_${arg_BELOW})
    list(APPEND layers ${lower})
  endif()
  set_property(GLOBAL PROPERTY corvane_layers_${name} ${layers})
  if(WIN32)
    add_library(${name}_win OBJECT ${win})
    corvane_product_target(${name}_win)
    if(arg_BELOW)
      target_link_libraries(${name}_win PUBLIC ${arg_BELOW}_win)
    endif()
  endif()
  if(WIN32 AND (arg_BELOW OR arg_BOTTOM))
    # The check library: this folder's and the lower folders' objects, whole, and the system
    # libraries; a Windows DLL links only when every name it uses is defined.
    set(objects "")
    foreach(layer ${layers})
      list(APPEND objects $<TARGET_OBJECTS:${layer}_win> $<TARGET_OBJECTS:${layer}_core>)
    endforeach()
    add_library(${name}_layer SHARED ${objects})
    set_target_properties(${name}_layer PROPERTIES LINKER_LANGUAGE CXX)
    target_link_libraries(${name}_layer PRIVATE gdi32 user32 kernel32)
    target_link_options(${name}_layer PRIVATE -Wl,--no-undefined -static-libgcc)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      target_link_options(${name}_layer PRIVATE -flto ${CORVANE_I686_CODEGEN})
    endif()
  endif()
endfunction()

# Links a program with the product folder top and every folder below it: their Windows
# objects (an object library's objects reach only the target that names it) and their cores,
# in layer order from the top.
function(corvane_link_layers target top)
  get_property(layers GLOBAL PROPERTY corvane_layers_${top})
  set(wins "")
  set(cores "")
  foreach(layer ${layers})
    list(APPEND wins ${layer}_win)
    list(APPEND cores ${layer}_core)
  endforeach()
  target_link_libraries(${target} PRIVATE ${wins} ${cores})
endfunction()

# A stand-in wing32.dll in <output_dir>: a small DLL that carries a VERSIONINFO with
# FILEVERSION <version> ("1,2,3,4"), or no version resource at all for version "".
function(corvane_standin_dll target output_dir version)
  add_library(${target} SHARED ${PROJECT_SOURCE_DIR}/demo/standin_dll.c)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME wing32 PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${output_dir} LIBRARY_OUTPUT_DIRECTORY ${output_dir})
  target_link_options(${target} PRIVATE -static -s)
  if(NOT version STREQUAL "")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    file(WRITE ${rc} "1 VERSIONINFO\nFILEVERSION ${version}\nPRODUCTVERSION ${version}\nBEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904B0\"\n    BEGIN\n      VALUE \"FileDescription\", \"Stand-in graphics runtime\"\n    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\nEND\n")
    corvane_compile_rc(${target}_res ${rc})
    target_sources(${target} PRIVATE ${${target}_res})
  endif()
endfunction()
