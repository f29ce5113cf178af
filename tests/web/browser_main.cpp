// The browser tests run in one process with a real QtWebEngine under Xvfb.

#include <gtest/gtest.h>

#include <QApplication>
#include <vector>

#include "web/PvpMon.h"
#include "web/qt/PvpSchemeHandler.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    pavilo::RegisterPvpScheme();
    std::vector<char*> args(argv, argv + argc);
    char disableGpu[] = "--disable-gpu";
    args.push_back(disableGpu);
    int count = static_cast<int>(args.size());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(count, args.data());
    pavilo::StartDocumentProtocol();
    const int rc = RUN_ALL_TESTS();
    pavilo::StopDocumentProtocol();
    return rc;
}
