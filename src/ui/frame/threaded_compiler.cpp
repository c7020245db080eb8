#include "frame/threaded_compiler.h"

#include "target/build_messages.h"
#include "target/service_library.h"

#include <QCoreApplication>
#include <QEvent>

namespace rux {
namespace {

const QEvent::Type kLineEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kFinishedEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class CCompilerEvent : public QEvent {
public:
    CCompilerEvent(QEvent::Type type, std::string line, int32_t result = 0)
        : QEvent(type), line(std::move(line)), result(result) {}
    std::string line;
    int32_t result;
};

} // namespace

CThreadedCompiler::CThreadedCompiler(std::string directory) : m_directory(std::move(directory)) {}

CThreadedCompiler::~CThreadedCompiler() {
    // Leaving while a build runs (the application is going): the compiler finishes first, since the
    // library must stay loaded under it. Its last events die with this object.
    Join();
    if (m_setDeliver) m_setDeliver(nullptr);
}

bool CThreadedCompiler::Load() {
    m_library = std::make_unique<CServiceLibrary>("H2Cmp", m_directory);
    m_compile = m_library->Entry<CompileEntry>("H2Cmp_Compile");
    // A library without the delivery entry still builds; its lines come from the error file then.
    m_setDeliver = m_library->Entry<DeliverEntry>("H2Cmp_SetDeliverProc");
    if (!m_compile) Release();
    return m_compile != nullptr;
}

void CThreadedCompiler::Deliver(H2HWND buildBar, const char* line) {
    QCoreApplication::postEvent(static_cast<CThreadedCompiler*>(buildBar),
                                new CCompilerEvent(kLineEvent, line ? line : ""));
}

void CThreadedCompiler::Start(const std::string& programPath, int32_t warningFlag, int32_t systemControlFlag,
                              LineSink line, Finished finished) {
    m_path = programPath;
    m_line = std::move(line);
    m_finished = std::move(finished);
    if (m_setDeliver) m_setDeliver(&CThreadedCompiler::Deliver);
    CompileEntry* compile = m_compile;
    // Events posted from one thread to one object arrive in order: every line before the end.
    m_thread = std::thread([this, compile, path = programPath, warningFlag, systemControlFlag] {
        const int32_t result = compile(path.c_str(), warningFlag, this, systemControlFlag);
        QCoreApplication::postEvent(this, new CCompilerEvent(kFinishedEvent, {}, result));
    });
}

void CThreadedCompiler::Join() {
    if (m_thread.joinable()) m_thread.join();
}

void CThreadedCompiler::Release() {
    Join();
    if (m_setDeliver) m_setDeliver(nullptr);
    m_compile = nullptr;
    m_setDeliver = nullptr;
    m_library.reset();
}

bool CThreadedCompiler::event(QEvent* event) {
    if (event->type() == kLineEvent) {
        if (m_line) m_line(static_cast<CCompilerEvent*>(event)->line);
        return true;
    }
    if (event->type() == kFinishedEvent) {
        Join();
        if (!m_setDeliver && m_line)
            for (const std::string& text : ReadBuildResults(m_path))
                m_line(text);
        m_line = nullptr;
        Finished finished = std::move(m_finished);
        m_finished = nullptr;
        if (finished) finished(static_cast<CCompilerEvent*>(event)->result);
        return true;
    }
    return QObject::event(event);
}

} // namespace rux
