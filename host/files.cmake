# Preset and bank files. Included from host/CMakeLists.txt.

# The text format and the files on disk: no window system, no plug-in object.
add_library(zynka_program_files STATIC
  ${CMAKE_CURRENT_LIST_DIR}/program_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_files.cpp)
target_include_directories(zynka_program_files PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zynka_program_files PUBLIC zynka_flags)

# The program menu's four file commands; they call the platform's file dialogs and
# message boxes (toolkit/platform/file_dialogs.h), which one of the libraries below provides.
add_library(zynka_file_commands STATIC ${CMAKE_CURRENT_LIST_DIR}/preset_files.cpp)
target_link_libraries(zynka_file_commands PUBLIC zynka_program_files zynka_engine zynka_flags)

# Scripted dialogs without a window system: tests answer them and read back what was shown.
add_library(zynka_file_dialogs_headless STATIC
  ${PROJECT_SOURCE_DIR}/toolkit/platform/headless/file_dialogs_headless.cpp)
target_include_directories(zynka_file_dialogs_headless PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zynka_file_dialogs_headless PUBLIC zynka_flags)

# The platform's own dialogs, for the plug-in (ZYNKA_PLATFORM_DIALOGS names the library): the
# common file dialogs on Windows; on Linux zenity, kdialog or a dialog of the X11 toolkit's own.
# The scripted dialogs above are for tests only: they cancel every command and keep a list.
if(WIN32)
  add_library(zynka_file_dialogs_win32 STATIC
    ${PROJECT_SOURCE_DIR}/toolkit/platform/win32/file_dialogs_win32.cpp)
  target_include_directories(zynka_file_dialogs_win32 PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(zynka_file_dialogs_win32 PUBLIC zynka_flags comdlg32 user32)
  set(ZYNKA_PLATFORM_DIALOGS zynka_file_dialogs_win32)
else()
  add_library(zynka_file_dialogs_x11 STATIC
    ${PROJECT_SOURCE_DIR}/toolkit/platform/x11/file_dialogs_linux.cpp
    ${PROJECT_SOURCE_DIR}/toolkit/platform/x11/x11dialog.cpp)
  target_include_directories(zynka_file_dialogs_x11 PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(zynka_file_dialogs_x11 PUBLIC zynka_toolkit_x11 PRIVATE zynka_flags)
  set(ZYNKA_PLATFORM_DIALOGS zynka_file_dialogs_x11)
endif()
