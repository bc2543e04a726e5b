# Pictures written by ImageMagick at test time (host build only): each must load to the
# pixels of ImageMagick's own decode.
if(NOT WIN32)
  find_program(CORVANE_CONVERT convert)
  if(NOT CORVANE_CONVERT)
    message(WARNING "ImageMagick convert not found: the pictures it writes are not tested")
  else()
    set(im_dir ${CMAKE_CURRENT_BINARY_DIR}/imagemagick_pictures)
    add_test(NAME imagemagick_pictures
      COMMAND sh ${PROJECT_SOURCE_DIR}/tests/support/make_imagemagick_pictures.sh
              ${CORVANE_CONVERT} ${im_dir})
    set_tests_properties(imagemagick_pictures PROPERTIES FIXTURES_SETUP imagemagick_pictures)
    add_test(NAME imagemagick_decode
      COMMAND unit_tests --gtest_filter=ImageMagickPictures.*:-*.Skip*)
    set_tests_properties(imagemagick_decode PROPERTIES
      FIXTURES_REQUIRED imagemagick_pictures
      FAIL_REGULAR_EXPRESSION "${no_test_ran}"
      ENVIRONMENT CORVANE_IMAGEMAGICK_DIR=${im_dir})
  endif()
endif()
