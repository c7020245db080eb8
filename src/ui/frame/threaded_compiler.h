// The compiler library run on a thread of its own, its message lines carried back to the user
// interface thread.
#pragma once

#include "target/build_controller.h"

#include "h2cmp.h"

#include <QObject>

#include <memory>
#include <string>
#include <thread>

namespace rux {

class CServiceLibrary;

// A long build must not freeze the window: the Build tab fills line by line and repaints while the
// compiler works. Only H2Cmp_Compile and the delivery function run on the worker thread; the delivery
// function copies each line into an event for this object, and the callbacks of Start run when the
// events arrive, on the thread that owns this object. The core never runs on the worker.
class CThreadedCompiler : public QObject, public CCompilerService {
public:
    // libH2Cmp.so from `directory`, the product directory when empty.
    explicit CThreadedCompiler(std::string directory = {});
    ~CThreadedCompiler() override;

    bool Load() override;
    void Start(const std::string& programPath, int32_t warningFlag, int32_t systemControlFlag, LineSink line,
               Finished finished) override;
    void Release() override;

protected:
    bool event(QEvent* event) override;

private:
    using CompileEntry = decltype(H2Cmp_Compile);
    using DeliverEntry = decltype(H2Cmp_SetDeliverProc);

    static void Deliver(H2HWND buildBar, const char* line);
    void Join();

    std::string m_directory;
    std::unique_ptr<CServiceLibrary> m_library;
    CompileEntry* m_compile = nullptr;
    DeliverEntry* m_setDeliver = nullptr;
    std::string m_path;
    LineSink m_line;
    Finished m_finished;
    std::thread m_thread;
};

} // namespace rux
