# qlor-cli export, competition and check, run end to end by a shell script.
add_test(NAME cli_exercises COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/exercises_cli_test.sh $<TARGET_FILE:qlor-cli>)
set_tests_properties(cli_exercises PROPERTIES LABELS cli TIMEOUT 120)
