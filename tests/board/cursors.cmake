# Cursor files: the loader and the files delivered beside the program.
zkalto_add_test(test_cursorfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/CursorFileTest.cpp
                LIBS zkalto_core)
# The test reads the delivered copies in the program directory.
add_dependencies(test_cursorfile zkalto_cursor_files)
