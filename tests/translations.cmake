# The translation check runs lupdate over the same source folders as the
# `lupdate` target, into a scratch copy of the .ts.
if(TARGET test_translations AND TARGET Qt5::lupdate)
    get_target_property(_zym_lupdate Qt5::lupdate IMPORTED_LOCATION)
    string(REPLACE ";" "," _zym_dirs "${ZYM_TRANSLATED_DIRS}")
    set_property(TEST test_translations APPEND PROPERTY ENVIRONMENT
        "ZYM_LUPDATE=${_zym_lupdate}"
        "ZYM_TRANSLATED_DIRS=${_zym_dirs}")
endif()

# The language tests load the compiled English translation from the build tree.
if(TARGET translations)
    foreach(_zym_test test_language test_about test_translations)
        if(TARGET ${_zym_test})
            add_dependencies(${_zym_test} translations)
        endif()
    endforeach()
endif()
