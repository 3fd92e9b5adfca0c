zkalto_add_test(tst_pagestore SOURCES tst_pagestore.cpp LIBS zkalto_core)
zkalto_add_test(tst_boardtools SOURCES tst_boardtools.cpp LIBS zkalto_core)
zkalto_add_test(tst_boardwindow SOURCES tst_boardwindow.cpp LIBS zkalto_ui zkalto_platform_fakes)
