# Empties the tests' settings folders below ROOT and makes one empty folder per test program
# (NAMES, separated by commas).
file(REMOVE_RECURSE ${ROOT})
string(REPLACE "," ";" names "${NAMES}")
foreach(name ${names})
  file(MAKE_DIRECTORY ${ROOT}/${name})
endforeach()
