# Installs the first-start data file by file and leaves a file that is
# already there alone. With a prefix such as ~/.local the installed
# first-start folder is the user's data folder itself, and installing again
# must not put an empty journal over the trader's.
# In: TJ_FROM, the laid-out folder; TJ_TO, <prefix>/share/tradejournal.
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${TJ_FROM}" "${TJ_FROM}/*")
list(SORT entries)
file(MAKE_DIRECTORY "$ENV{DESTDIR}${TJ_TO}")
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${TJ_FROM}/${entry}")
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${TJ_TO}/${entry}")
  elseif(EXISTS "$ENV{DESTDIR}${TJ_TO}/${entry}")
    message(STATUS "Keeping: $ENV{DESTDIR}${TJ_TO}/${entry}")
  else()
    get_filename_component(folder "${TJ_TO}/${entry}" DIRECTORY)
    # file(INSTALL) puts DESTDIR in front of the destination itself.
    file(INSTALL "${TJ_FROM}/${entry}" DESTINATION "${folder}")
  endif()
endforeach()
