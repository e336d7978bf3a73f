# Preset and bank files. Included from host/CMakeLists.txt.

# The text format and the files on disk: no window system, no plug-in object.
add_library(zynka_program_files STATIC
  ${CMAKE_CURRENT_LIST_DIR}/program_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_files.cpp)
target_include_directories(zynka_program_files PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zynka_program_files PUBLIC zynka_flags)

# The program menu's four file commands with the platform's file dialogs and message boxes:
# the Windows ones in the plug-in, scripted headless ones elsewhere (the tests script them).
if(WIN32)
  set(zynka_file_dialogs ${PROJECT_SOURCE_DIR}/toolkit/platform/win32/file_dialogs_win32.cpp)
else()
  set(zynka_file_dialogs ${PROJECT_SOURCE_DIR}/toolkit/platform/headless/file_dialogs_headless.cpp)
endif()
add_library(zynka_files STATIC ${CMAKE_CURRENT_LIST_DIR}/preset_files.cpp ${zynka_file_dialogs})
target_link_libraries(zynka_files PUBLIC zynka_program_files zynka_engine zynka_flags)
if(WIN32)
  target_link_libraries(zynka_files PUBLIC comdlg32 user32)
endif()
