# SPDX-License-Identifier: MIT
# The source archive a firmware recipe fetches: the files git tracks at HEAD,
# as OUT_DIR/NAME.tar.gz under NAME/. NAME says the release,
# client_check-VERSION, when HEAD is tagged vVERSION, and the commit
# otherwise: client_check-VERSION-gCOMMIT (twelve hex digits), so that an
# archive of work after or before a release is never taken for it.
#   cmake -DGIT=git -DSOURCE_DIR=... -DOUT_DIR=... -DVERSION=... -P source-archive.cmake
function(git out)
  execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} ${ARGN} OUTPUT_VARIABLE text
    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "git ${ARGN} failed in ${SOURCE_DIR}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

git(tag tag --points-at HEAD --list v${VERSION})
if(tag STREQUAL "v${VERSION}")
  set(name client_check-${VERSION})
else()
  git(commit rev-parse --short=12 HEAD)
  set(name client_check-${VERSION}-g${commit})
endif()
git(ignored archive --format=tar.gz --prefix=${name}/ -o ${OUT_DIR}/${name}.tar.gz HEAD)
message(STATUS "${OUT_DIR}/${name}.tar.gz: the files git tracks at HEAD")
