#include <cstdio>
#include <string_view>

#include "app/application.h"
#include "app/program.h"
#include "app/single_instance.h"
#include "core/program_folder.h"
#include "core/secrets.h"
#include "core/version.h"

int main(int argc, char* argv[]) {
  // Answered before the application object, so that no display is needed.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--version") {
      std::printf("missivo %s\n", MISSIVO_VERSION);
      return 0;
    }
  }
  // The window holds plain messages and the program password.
  missivo::KeepOutOfCrashFiles();
  missivo::MissivoApplication app(argc, argv);
  missivo::TForm1::Options options;
  options.program_folder = missivo::ResolveProgramFolder();
  // One window per program folder: a second start brings the first to the front.
  missivo::SingleInstance instance(options.program_folder);
  missivo::TForm1* window = nullptr;
  if (!instance.Claim([&window] {
        if (window != nullptr) window->BringToFront();
      })) {
    return 0;
  }
  missivo::Program program(std::move(options));
  window = &program.form1();
  // A start that ends the program (a refused password) saves nothing.
  if (!program.Start()) return 0;
  return missivo::MissivoApplication::exec();
}
