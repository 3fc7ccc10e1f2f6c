// A stand-in for the JPEG 2000 vendor library, built by the tests: three of its documented entry
// points and nothing else, so that binding can be seen to find some names and miss others.
extern "C" {

__attribute__((visibility("default"))) int JP2_Decompress_Start() {
  return 21;
}

__attribute__((visibility("default"))) int JP2_Decompress_End() {
  return 22;
}

__attribute__((visibility("default"))) int JP2_Compress_SetROI_Enhance() {
  return 23;
}

}  // extern "C"
