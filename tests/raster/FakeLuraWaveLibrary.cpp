// A stand-in for the LuraWave vendor library, built by the tests: two of its documented entry
// points.
extern "C" {

__attribute__((visibility("default"))) int LwfGetVersionInfo() {
  return 215;
}

__attribute__((visibility("default"))) int LwfGetErrorText() {
  return 0;
}

}  // extern "C"
