// Leaks inside system libraries that no caller can release: fontconfig's
// configuration parser drops a pattern on the floor while it reads fonts.conf.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
