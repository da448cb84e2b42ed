# The names the library exports: `preferences` and the settings variables, read from the list of
# settings itself, so that the Linux version script and the device's export list cannot differ.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/tweak/settings/settings_list.h)
function(vorla_exported_names out)
  file(READ ${PROJECT_SOURCE_DIR}/tweak/settings/settings_list.h settings_list)
  string(REGEX MATCHALL "(BOOLEAN|DOUBLE|OBJECT)\\([A-Za-z0-9_]+" rows "${settings_list}")
  set(names preferences)
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "^[A-Z]+\\(" "" name "${row}")
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()
