# Where our programs' libraries come from (Windows only).
#
# Windows takes a known DLL (kernel32, user32, gdi32, advapi32, shell32,
# ole32, oleaut32, comdlg32, msvcrt, shlwapi, ...) from the system folder,
# whatever the search order says. Any other library in a program's import
# table is looked for in the program's own folder first, before the program
# has run a single instruction: a version.dll put beside a setup program in
# a Downloads folder is loaded into it. So our programs import the other
# system libraries they need with a delay: the library is loaded at the
# first call, by the hook in framework/librarysearch.cpp, from the system
# folder by its full path.
#
#   glimmora_library_search  RestrictLibrarySearch and the delay-load hook;
#                            every program calls the former first.
#   glimmora_delay_load      linked to a program: every "-lNAME" of the
#                            program, and of the libraries it links, for a
#                            NAME below becomes a delayed import. It puts a
#                            folder in front of the linker's search holding
#                            a delay-import library named as MinGW's import
#                            library is (libversion.a), made by
#                            cmake/importlib.py from MinGW's library.
include_guard(GLOBAL)

# The system libraries our programs use that are not known DLLs: comctl32 is
# none because a manifest chooses its version, gdiplus is one only from
# Windows 10 on, version was one only up to Windows XP. And comdlg32, a known
# DLL whose only use is the print dialog, late in a run: what a library in
# the import table loads while it starts is loaded before the program's
# first instruction, under a search order nobody has restricted yet, and
# comdlg32 brings in (measured under Wine) the common controls, which load
# the theme library by name, and the print spooler.
set(GLIMMORA_DELAYED_SYSTEM_LIBRARIES version gdiplus comctl32 comdlg32)

find_package(Python3 COMPONENTS Interpreter REQUIRED)

add_library(glimmora_library_search STATIC ${PROJECT_SOURCE_DIR}/framework/librarysearch.cpp)
target_include_directories(glimmora_library_search PUBLIC ${PROJECT_SOURCE_DIR})

set(delay_dir ${CMAKE_BINARY_DIR}/delayload)
set(delay_libraries)
foreach(name IN LISTS GLIMMORA_DELAYED_SYSTEM_LIBRARIES)
  find_library(GLIMMORA_IMPORT_LIBRARY_${name} NAMES lib${name}.a REQUIRED NO_CACHE)
  set(import_library ${GLIMMORA_IMPORT_LIBRARY_${name}})
  add_custom_command(OUTPUT ${delay_dir}/lib${name}.a
    COMMAND ${CMAKE_COMMAND} -E make_directory ${delay_dir}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/importlib.py delaylib
            ${CMAKE_NM} ${CMAKE_AR} ${CMAKE_DLLTOOL} ${CMAKE_OBJCOPY} ${import_library} ${name}.dll
            ${delay_dir}/lib${name}.a
    DEPENDS ${import_library} ${PROJECT_SOURCE_DIR}/cmake/importlib.py
    COMMENT "Delay-import library of ${name}.dll"
    VERBATIM)
  list(APPEND delay_libraries ${delay_dir}/lib${name}.a)
endforeach()
add_custom_target(glimmora_delay_import_libraries DEPENDS ${delay_libraries})

add_library(glimmora_delay_load INTERFACE)
target_link_options(glimmora_delay_load INTERFACE -L${delay_dir})
# Found through -L, so the link would not be redone when one changes.
set_property(TARGET glimmora_delay_load PROPERTY INTERFACE_LINK_DEPENDS ${delay_libraries})
target_link_libraries(glimmora_delay_load INTERFACE glimmora_library_search)
add_dependencies(glimmora_delay_load glimmora_delay_import_libraries)
