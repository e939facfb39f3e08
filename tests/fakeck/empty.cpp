// A file named ChilkatDelphi32.dll that loads but exports nothing: what a technician gets from
// a wrong or damaged copy of the library.
