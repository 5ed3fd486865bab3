// Finds the tail of each file named, alone or with its whole verdict, and prints one line per
// file; changes nothing. For timing the verdict against the plain answer:
//   judge_files [--verdict] FILE...
#include <cstdio>
#include <cstring>
#include <exception>

#include "engine/file_verdict.h"
#include "engine/tail_locator.h"
#include "platform/file_stream.h"

int main(int argc, char** argv) {
  const bool verdicts = argc > 1 && std::strcmp(argv[1], "--verdict") == 0;
  for (int k = verdicts ? 2 : 1; k < argc; ++k) {
    try {
      auto stream = tailmend::FileStream::OpenReadWriteShared(argv[k]);
      if (verdicts) {
        const tailmend::FileVerdict verdict = tailmend::JudgeFile(stream);
        std::printf("%s\t%d\t%s\n", argv[k], verdict.tail, tailmend::StableName(verdict.verdict).data());
      } else {
        std::printf("%s\t%d\n", argv[k], tailmend::FindFileTail(stream));
      }
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s: %s\n", argv[k], error.what());
      return 1;
    }
  }
  return 0;
}
