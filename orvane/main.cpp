// Orvane, the recording manager: the main window first, then the hidden About box.
#include "Application.h"
#include "FRMUnit1.h"
#include "Unit1.h"

int main(int argc, char **argv) {
    shell::TApplication application(argc, argv);
    orvane::TForm1 form1;
    shell::TAboutfrm aboutfrm(orvane::Design().AboutTitlePosition);
    form1.show();
    return shell::TApplication::exec();
}
