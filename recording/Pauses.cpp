#include "Pauses.h"

#include <QCoreApplication>

#include <chrono>
#include <thread>

namespace recording::pauses {

std::function<void()> ProcessMessages = [] { QCoreApplication::processEvents(); };

std::function<void(int)> Sleep = [](int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
};

} // namespace recording::pauses
