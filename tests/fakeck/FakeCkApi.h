// The scripting exports of the fake library (C linkage, looked up by name at run time).
//   FakeCk_Reset()                     forget script, calls and objects; handles restart at 1
//   FakeCk_FailCall(entry, n)          the n-th call (from 1, counted since reset) of the entry
//                                      fails; n = 0: every call. A failing command gives null
//                                      and makes getLastMethodSuccess false; a failing
//                                      getLastMethodSuccess gives false and sets its error text
//   FakeCk_SetOutput(command, output)  what CkSsh__quickCommand gives for exactly this command
//                                      (default empty; null output: the call returns null)
//   FakeCk_SetErrorText(entry, text)   error text an object carries after that entry failed
//                                      (default "<entry> failed")
//   FakeCk_CallCount(), FakeCk_Call(i) every call made, as `Entry(arg,...)`, texts quoted
//   FakeCk_CallTimeMs(i)               when call i was made, in ms since reset
//   FakeCk_LiveSessions(), FakeCk_LiveTransfers()  objects created and not disposed
//   FakeCk_Misuse()                    calls with an unknown, disposed or wrong-kind handle
#pragma once

#if defined(_WIN32)
#define FAKECK_API extern "C" __declspec(dllexport)
#else
#define FAKECK_API extern "C" __attribute__((visibility("default")))
#endif
