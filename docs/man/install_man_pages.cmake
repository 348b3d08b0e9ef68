# Run by `cmake --install`: copies the man pages into the man folder of the prefix in use (which
# `--prefix` may choose only now), with @QUELM_DATADIR@ and @QUELM_DOCDIR@ naming that prefix's
# folders. Expects QUELM_MAN_SOURCE, QUELM_MAN_PAGES and the relative or absolute
# QUELM_MANDIR_SETTING, QUELM_DATADIR_SETTING and QUELM_DOCDIR_SETTING.

function(quelm_full_path setting out)
  if(IS_ABSOLUTE "${setting}")
    set(${out} "${setting}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${setting}" PARENT_SCOPE)
  endif()
endfunction()

quelm_full_path("${QUELM_DATADIR_SETTING}" QUELM_DATADIR)
quelm_full_path("${QUELM_DOCDIR_SETTING}" QUELM_DOCDIR)
quelm_full_path("${QUELM_MANDIR_SETTING}" mandir)
foreach(page IN LISTS QUELM_MAN_PAGES)
  set(target "${mandir}/man1/${page}")
  message(STATUS "Installing: $ENV{DESTDIR}${target}")
  configure_file("${QUELM_MAN_SOURCE}/${page}" "$ENV{DESTDIR}${target}" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
endforeach()
