# Precompiled headers. Parsing the Qt headers is most of the compile time of the window's sources
# and of its tests (Qt Test's take about twice the CPU time of the test itself), so each group of
# targets parses them once per build tree instead of once per file. GoogleTest's headers are
# parsed about as fast as their precompiled form loads, so the core's tests go without.
option(QLOR_PCH "Precompile the Qt headers" ON)

# kind: "widgets" (the window's sources) or "qt_test" (the window's tests, one shared header set).
function(qlor_precompile target kind)
    if(NOT QLOR_PCH)
        return()
    endif()
    get_property(first GLOBAL PROPERTY qlor_pch_${kind})
    if(first)
        target_precompile_headers(${target} REUSE_FROM ${first})
        return()
    endif()
    set_property(GLOBAL PROPERTY qlor_pch_${kind} ${target})
    if(kind STREQUAL "qt_test")
        target_precompile_headers(${target} PRIVATE <QtTest> <QtWidgets>)
    elseif(kind STREQUAL "widgets")
        target_precompile_headers(${target} PRIVATE <QtWidgets>)
    else()
        message(FATAL_ERROR "qlor_precompile: unknown kind ${kind}")
    endif()
endfunction()
