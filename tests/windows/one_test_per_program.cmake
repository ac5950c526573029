# Under Wine each start of a program costs a good part of a second, so a test
# program is one test here, its cases running inside it, rather than one start
# per case. Every program needs the build's Wine prefix (tests/windows).
function(gtest_discover_tests target)
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix)
endfunction()
