#include "drive_server.h"

#include "ini/ini_lines.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace rux::drive {

namespace {

const std::vector<std::string> kDefaultTasks = {"Initial", "Background", "Clock", "Event", "Event1",
                                               "Event2",  "Event3",     "Pos0",  "Pos1",  "Error"};

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::vector<std::string> SplitComma(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, ','))
        if (!Trim(part).empty()) out.push_back(Trim(part));
    return out;
}

uint64_t NowMs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

} // namespace

CDriveServer::CDriveServer(CDriveOptions options, std::function<void(const std::string&)> log)
    : m_opt(std::move(options)), m_log(std::move(log)) {}

CDriveServer::~CDriveServer() {
    for (auto& c : m_conns)
        if (c->fd >= 0) ::close(c->fd);
    if (m_listen >= 0) ::close(m_listen);
    if (m_epoll >= 0) ::close(m_epoll);
}

void CDriveServer::LoadTargets() {
    // The target library's own file, read by the same rules as the target library reads it, so the
    // drive and the editor never disagree about a type's tasks.
    std::ifstream in(std::filesystem::path(m_opt.dataDir) / "targets.ini", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    rux::ini::CLineReader reader(text, {";#", true});
    rux::ini::CLine line;
    while (reader.Next(line)) {
        if (line.kind != rux::ini::ELineKind::Key || !line.inSection || !rux::ini::EqualNoCase(line.name, "Tasks"))
            continue;
        const std::string section = Upper(std::string(line.section));
        if (!m_targetTasks.count(section)) m_targetTasks[section] = SplitComma(std::string(line.value));
    }
}

std::vector<std::string> CDriveServer::TasksOf(const std::string& type) const {
    const auto it = m_targetTasks.find(Upper(type));
    return it == m_targetTasks.end() || it->second.empty() ? kDefaultTasks : it->second;
}

std::string CDriveServer::NodeDir(const std::string& address) const {
    return (std::filesystem::path(m_opt.stateDir) / NodeDirName(address)).string();
}

CNode& CDriveServer::NodeFor(const std::string& address, const std::string& type) {
    auto it = m_nodes.find(address);
    // A node first met without a type takes the first type a client names, while it holds no program.
    if (it != m_nodes.end() && !type.empty() && it->second->TargetType().empty() && !it->second->HasProgram())
        m_nodes.erase(it), it = m_nodes.end();
    if (it == m_nodes.end()) {
        auto node = std::make_unique<CNode>(address, type, TasksOf(type), m_defaults);
        if (m_log) m_log("node " + address + " created (" + (type.empty() ? std::string("no type") : type) + ")");
        it = m_nodes.emplace(address, std::move(node)).first;
    }
    return *it->second;
}

CNode* CDriveServer::FindNode(const std::string& address) {
    const auto it = m_nodes.find(address);
    return it == m_nodes.end() ? nullptr : it->second.get();
}

void CDriveServer::RestoreNodes() {
    if (!m_opt.nodesFile.empty()) {
        std::ifstream in(m_opt.nodesFile);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream f(Trim(line));
            std::string address, type;
            if (!(f >> address) || address[0] == ';' || address[0] == '#') continue;
            f >> type;
            NodeFor(address, type);
        }
    }
    if (m_opt.stateDir.empty()) return;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(m_opt.stateDir, ec)) {
        std::ifstream in(entry.path() / "node.ini");
        std::string line, address, type;
        while (std::getline(in, line)) {
            if (line.rfind("address=", 0) == 0) address = line.substr(8);
            if (line.rfind("type=", 0) == 0) type = line.substr(5);
        }
        if (address.empty()) continue;
        m_nodes.erase(address);
        CNode& node = NodeFor(address, type);
        if (!node.Restore(entry.path().string()) && m_log) m_log("node " + address + ": stored state unreadable");
    }
}

void CDriveServer::SaveAll() {
    if (m_opt.stateDir.empty()) return;
    for (auto& [address, node] : m_nodes)
        if (!node->Save(NodeDir(address)) && m_log) m_log("node " + address + ": state not saved");
}

bool CDriveServer::Start(std::string& message) {
    int skipped = 0;
    const std::string params = (std::filesystem::path(m_opt.dataDir) / "drive_parameters.ini").string();
    if (!m_defaults.LoadDefaults(params, &skipped)) {
        if (m_log) m_log("no parameter file " + params + ": every parameter is plain");
    } else if (skipped > 0 && m_log) {
        m_log(params + ": " + std::to_string(skipped) + " line(s) skipped");
    }
    LoadTargets();
    RestoreNodes();

    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listen < 0) {
        message = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    int one = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(m_opt.port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_listen, 64) != 0) {
        message = "cannot listen on 127.0.0.1:" + std::to_string(m_opt.port) + ": " + std::strerror(errno);
        return false;
    }
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    epoll_event e{};
    e.events = EPOLLIN;
    e.data.ptr = nullptr;  // the listener
    if (m_epoll < 0 || ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_listen, &e) != 0) {
        message = std::string("epoll: ") + std::strerror(errno);
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    return true;
}

void CDriveServer::CatchUp(uint64_t now) {
    const uint32_t elapsed = static_cast<uint32_t>(std::min<uint64_t>(now - m_lastAdvance, 1000));
    m_lastAdvance = now;
    if (elapsed == 0) return;
    for (auto& [address, node] : m_nodes)
        AdvanceNode(*node, elapsed);
    // Due next: a loop's value, a running program's next slice, or the idle tick.
    uint64_t wait = kIdleTickMs;
    for (auto& [address, node] : m_nodes)
        if (node->HasProgram() && !node->IsStopped()) wait = std::min(wait, kRunTickMs);
    for (auto& c : m_conns)
        for (auto& l : c->loops)
            if (CNode* n = FindNode(l.node)) wait = std::min(wait, l.due > n->TimeMs() ? l.due - n->TimeMs() : 0);
    m_nextDue = now + std::max<uint64_t>(wait, 1);
}

void CDriveServer::Watch(CConn& c) {
    // Writable is of interest only while answers wait for room in the socket.
    const bool out = !c.out.empty();
    if (out == c.watchingOut || c.closing) return;
    epoll_event e{};
    e.events = EPOLLIN | (out ? EPOLLOUT : 0u);
    e.data.ptr = &c;
    if (::epoll_ctl(m_epoll, EPOLL_CTL_MOD, c.fd, &e) == 0) c.watchingOut = out;
}

void CDriveServer::Run(const std::atomic<bool>& stop) {
    // The sockets stay in one epoll set; a wake-up costs only what it brings. On the wall clock
    // the nodes run in slices at their own pace (a loop due, a program's slice, an idle tick), not
    // at every request; a request that finds them a slice behind brings them up to date first.
    m_lastAdvance = m_nextDue = NowMs();
    epoll_event events[64];
    while (!stop.load()) {
        int timeout = 50;
        if (!m_opt.virtualTime) {
            const uint64_t now = NowMs();
            if (now >= m_nextDue) CatchUp(now);
            timeout = static_cast<int>(std::min<uint64_t>(m_nextDue > now ? m_nextDue - now : 1, 50));
        }
        const int n = ::epoll_wait(m_epoll, events, 64, std::max(timeout, 1));
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.ptr == nullptr) {
                Accept();
                continue;
            }
            CConn& c = *static_cast<CConn*>(events[i].data.ptr);
            if (c.closing) continue;
            if (events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) ReadFrom(c);
            if (!c.closing && !c.out.empty()) Flush(c);
        }
        // Loops answer on other connections too; what waits for room goes when the socket takes it.
        for (auto& c : m_conns) {
            if (!c->closing && !c->out.empty()) Flush(*c);
            Watch(*c);
        }
        std::erase_if(m_conns, [](const std::unique_ptr<CConn>& c) {
            if (!c->closing) return false;
            ::close(c->fd);  // leaves the epoll set with it
            return true;
        });
    }
}

void CDriveServer::Accept() {
    for (;;) {
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto c = std::make_unique<CConn>();
        c->fd = fd;
        epoll_event e{};
        e.events = EPOLLIN;
        e.data.ptr = c.get();
        if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &e) != 0) {
            ::close(fd);
            continue;
        }
        m_conns.push_back(std::move(c));
    }
}

void CDriveServer::Close(CConn& c, const std::string& why) {
    if (c.closing) return;
    if (m_log && !why.empty()) m_log("connection closed: " + why);
    c.closing = true;
}

void CDriveServer::ReadFrom(CConn& c) {
    uint8_t buf[65536];
    for (;;) {
        const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET)) return Close(c, "");
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) return;
            if (errno == EINTR) continue;
            return Close(c, std::strerror(errno));
        }
        std::vector<CFrame> frames;
        const bool ok = c.decoder.Feed(buf, static_cast<std::size_t>(n), frames);
        for (const CFrame& f : frames) {
            if (c.closing) break;
            Handle(c, f);
        }
        if (!ok) return Close(c, "bad frame: " + c.decoder.Error());
        if (c.closing) return;
        // The answers leave at once; a short read emptied the socket (poll reports what follows,
        // an end of the connection included).
        if (!c.out.empty()) Flush(c);
        if (static_cast<std::size_t>(n) < sizeof buf) return;
    }
}

void CDriveServer::Flush(CConn& c) {
    while (!c.out.empty()) {
        const ssize_t n = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) return;
            if (errno == EINTR) continue;
            return Close(c, std::strerror(errno));
        }
        c.out.erase(0, static_cast<std::size_t>(n));
    }
}

void CDriveServer::Reply(CConn& c, uint32_t id, int32_t status, std::string_view detail) {
    CPayloadWriter w;
    w.I32(status).Blob(detail);
    c.out += EncodeFrame(kRepResult, id, w.Data());
    // A client that reads nothing must not make the drive hold unbounded memory.
    if (c.out.size() > 64u * 1024u * 1024u) Close(c, "client does not read its answers");
}

void CDriveServer::SendAnswer(CConn& c, uint32_t id, const CAnswer& a) {
    c.out += EncodeFrame(kRepAnswer, id, EncodeAnswer(a));
}

void CDriveServer::StatusAnswer(CConn& c, uint32_t id, CNode& node) {
    const CNodeStatus st = node.Status();
    CAnswer a;
    a.kind = 9;
    a.programState = st.programState;
    a.cpuFree = st.cpuFree;
    a.taskCount = static_cast<int32_t>(std::min<std::size_t>(st.taskStates.size(), kMaxTasks));
    a.position = -1;
    for (int t = 0; t < a.taskCount; ++t) {
        a.taskState[static_cast<std::size_t>(t)] = st.taskStates[static_cast<std::size_t>(t)];
        if (st.taskStates[static_cast<std::size_t>(t)] == kTaskSleeping && st.taskItems[static_cast<std::size_t>(t)] >= 0) {
            // The record has room for one position; the text lists them all.
            if (a.position < 0) {
                a.taskId = t;
                a.position = st.taskItems[static_cast<std::size_t>(t)];
            }
            if (!a.text.empty()) a.text += ' ';
            a.text += std::to_string(t) + ".0" + std::to_string(st.taskItems[static_cast<std::size_t>(t)]);
        }
    }
    SendAnswer(c, id, a);
}

void CDriveServer::AdvanceNode(CNode& node, uint32_t ms) {
    // Loops see every period even when a request advances the clock by much more.
    uint64_t target = node.TimeMs() + ms;
    while (node.TimeMs() < target) {
        uint64_t next = target;
        for (auto& c : m_conns)
            for (auto& l : c->loops)
                if (l.node == node.Address() && l.due > node.TimeMs() && l.due < next) next = l.due;
        node.Advance(static_cast<uint32_t>(next - node.TimeMs()));
        ServeLoops(node);
        DispatchEvents(node);
    }
    ServeLoops(node);
    DispatchEvents(node);
}

void CDriveServer::ServeLoops(CNode& node) {
    for (auto& c : m_conns)
        for (auto& l : c->loops) {
            if (l.node != node.Address() || l.due > node.TimeMs()) continue;
            CAnswer a;
            a.kind = 32;
            a.symbol = l.symbol;
            a.status = node.Read(l.symbol, a.value);
            SendAnswer(*c, l.id, a);
            // After a long stall the loop starts again from now instead of sending a burst.
            l.due += l.period;
            if (l.due <= node.TimeMs()) l.due = node.TimeMs() + l.period;
        }
}

void CDriveServer::DispatchEvents(CNode& node) {
    const std::vector<CNodeEvent> events = node.TakeEvents();
    if (events.empty()) return;
    for (auto& c : m_conns)
        for (auto& s : c->subs) {
            if (s.node != node.Address()) continue;
            for (const CNodeEvent& e : events) {
                CAnswer a;
                if (e.kind == CNodeEvent::Log) {
                    a.kind = 54;
                } else {
                    a.kind = 52;
                    a.taskId = e.taskId;
                    a.position = e.item;
                }
                a.text = e.text;
                SendAnswer(*c, s.id, a);
            }
        }
}

void CDriveServer::Handle(CConn& c, const CFrame& f) {
    CPayloadReader r(f.payload);
    const std::string address = r.Str();
    const std::string type = r.Str();
    const uint32_t client = r.U32();
    auto bad = [&](const char* what) { Close(c, std::string("malformed ") + what + " request"); };
    if (!r.Ok()) return bad("frame");
    if (f.type == kReqHello) {
        const uint32_t version = r.U32();
        if (!r.Done()) return bad("hello");
        if (version != kProtocolVersion) return Reply(c, f.id, kStatusBadArgument, "protocol version not supported");
        return Reply(c, f.id, kStatusOk, kFirmware);
    }
    if (f.type == kReqLoopRelease) {
        const uint32_t loop = r.U32();
        if (!r.Done()) return bad("loop release");
        const auto it = std::find_if(c.loops.begin(), c.loops.end(), [&](const CLoop& l) { return l.id == loop; });
        if (it == c.loops.end()) return Reply(c, f.id, kStatusNotFound);
        const std::string last = it->symbol;
        c.loops.erase(it);
        return Reply(c, f.id, kStatusOk, last);
    }
    if (address.empty()) return Reply(c, f.id, kStatusBadArgument, "no node address");
    if (!m_opt.virtualTime) {
        const uint64_t now = NowMs();
        if (now >= m_lastAdvance + kRunTickMs) CatchUp(now);
    }
    CNode& node = NodeFor(address, type);
    switch (f.type) {
    case kReqCommand: {
        const int32_t command = r.I32();
        if (!r.Done()) return bad("command");
        switch (command) {
        case 6: {
            CAnswer a;
            a.kind = 5;
            a.subKind = 7;
            a.embeddedSource = node.HasSource() ? 1 : 0;
            a.programId = node.ProgramId();
            SendAnswer(c, f.id, a);
            StatusAnswer(c, f.id, node);
            return Reply(c, f.id, kStatusOk);
        }
        case 13:
            // Task manager client: its log texts and step positions come with this request's id.
            std::erase_if(c.subs, [&](const CSubscription& s) { return s.client == client && s.node == address; });
            c.subs.push_back({f.id, client, address});
            return Reply(c, f.id, kStatusOk);
        case 14:
            std::erase_if(c.subs, [&](const CSubscription& s) { return s.client == client && s.node == address; });
            return Reply(c, f.id, kStatusOk);
        case 5:
        case 15:
            StatusAnswer(c, f.id, node);
            return Reply(c, f.id, kStatusOk);
        // The task manager sends 0 while the program is not running and 1 while it is, 3 to
        // start a stopped program and 2 to stop a running one.
        case 0: return Reply(c, f.id, node.Resume());
        case 1: return Reply(c, f.id, node.Pause());
        case 2: return Reply(c, f.id, node.Stop());
        case 3: return Reply(c, f.id, node.Run());
        default: return Reply(c, f.id, kStatusBadArgument, "unknown command");
        }
    }
    case kReqDownload: {
        const std::string image = r.Blob();
        const std::string name = r.Str();
        if (!r.Done()) return bad("download");
        std::string message;
        const int32_t st = node.Download(image, message);
        node.SetProgramName(st == kStatusOk ? name : std::string());
        if (m_log) m_log("node " + address + ": download of " + std::to_string(image.size()) + " bytes: " +
                         (st == 0 ? std::string("started") : message));
        if (st == 0 && !m_opt.stateDir.empty()) node.Save(NodeDir(address));
        DispatchEvents(node);
        return Reply(c, f.id, st, message);
    }
    case kReqUpload: {
        if (!r.Done()) return bad("upload");
        std::string source;
        const int32_t st = node.Upload(source);
        return Reply(c, f.id, st, source);
    }
    case kReqControl: {
        const int32_t control = r.I32();
        const int32_t task = r.I32();
        if (!r.Done()) return bad("control");
        int32_t st = kStatusBadArgument;
        switch (control) {
        case kCtlRun: st = node.Run(); break;
        case kCtlStop: st = node.Stop(); break;
        case kCtlPause: st = node.Pause(); break;
        case kCtlResume: st = node.Resume(); break;
        case kCtlResetProgram: st = node.ResetProgram(); break;
        case kCtlResetDrive: st = node.ResetDrive(); break;
        case kCtlIsStopped: return Reply(c, f.id, kStatusOk, node.IsStopped() ? "1" : "0");
        case kCtlStepOn: st = node.StepOn(task); break;
        case kCtlStep: st = node.Step(task); break;
        case kCtlStepOff: st = node.StepOff(task); break;
        default: break;
        }
        DispatchEvents(node);
        return Reply(c, f.id, st);
    }
    case kReqLoopCreate: {
        CLoop l;
        l.symbol = r.Str();
        const int32_t period = r.I32();
        if (!r.Done()) return bad("loop");
        if (period < 10 || period > 3600000) return Reply(c, f.id, kStatusBadArgument, "loop period out of range");
        l.id = f.id;
        l.client = client;
        l.node = address;
        l.period = static_cast<uint32_t>(period);
        l.due = node.TimeMs();
        if (c.loops.size() >= 4096) return Reply(c, f.id, kStatusBadArgument, "too many loops");
        Reply(c, f.id, kStatusOk);
        c.loops.push_back(l);
        m_nextDue = std::min(m_nextDue, m_lastAdvance + l.period);  // node time stands at m_lastAdvance
        return ServeLoops(node);
    }
    case kReqWrite:
    case kReqRead: {
        CAnswer a;
        a.symbol = r.Str();
        std::string valueText = f.type == kReqWrite ? r.Str() : std::string();
        if (!r.Done()) return bad("value");
        if (f.type == kReqWrite) {
            a.kind = 31;
            char* end = nullptr;
            a.value = std::strtod(valueText.c_str(), &end);
            a.status = valueText.empty() || *end != '\0' ? kStatusValueRange : node.Write(a.symbol, a.value);
        } else {
            a.kind = 32;
            a.status = node.Read(a.symbol, a.value);
        }
        SendAnswer(c, f.id, a);
        return Reply(c, f.id, a.status);
    }
    case kReqSetBreaks: {
        const int32_t count = r.I32();
        if (!r.Ok() || count < 0 || count > kMaxTasks) return bad("breakpoint");
        std::vector<std::vector<int32_t>> table(static_cast<std::size_t>(count), std::vector<int32_t>(kBreakSlots));
        for (auto& t : table)
            for (auto& s : t)
                s = r.I32();
        if (!r.Done()) return bad("breakpoint");
        return Reply(c, f.id, node.SetBreakpoints(table));
    }
    case kReqGetBreaks: {
        if (!r.Done()) return bad("breakpoint");
        for (int t = 0; t < static_cast<int>(node.Tasks().size()); ++t) {
            CAnswer a;
            a.kind = 60;
            a.taskId = t;
            const std::vector<int32_t> b = node.Breakpoints(t);
            std::copy(b.begin(), b.end(), a.breakpoints.begin());
            SendAnswer(c, f.id, a);
        }
        return Reply(c, f.id, kStatusOk);
    }
    case kReqAdvance: {
        const uint32_t ms = r.U32();
        if (!r.Done()) return bad("advance");
        // On the wall clock time passes by itself; the request changes nothing.
        if (m_opt.virtualTime) AdvanceNode(node, std::min<uint32_t>(ms, 24u * 3600u * 1000u));
        return Reply(c, f.id, kStatusOk, m_opt.virtualTime ? "virtual" : "real");
    }
    case kReqIdentify: {
        if (!r.Done()) return bad("identify");
        const CNodeStatus st = node.Status();
        std::string tasks;
        for (const std::string& t : node.Tasks())
            tasks += (tasks.empty() ? "" : ",") + t;
        CPayloadWriter w;
        w.Str(kFirmware).Str(node.TargetType()).U32(node.ProgramId()).U32(static_cast<uint32_t>(node.ImageSize()));
        w.I32(node.HasSource() ? 1 : 0).I32(st.programState).Str(tasks).Str(node.ProgramName()).Str(node.Address());
        return Reply(c, f.id, kStatusOk, w.Data());
    }
    case kReqLog: {
        if (!r.Done()) return bad("log");
        for (const std::string& line : node.TakeLog()) {
            CAnswer a;
            a.kind = 54;
            a.text = line;
            SendAnswer(c, f.id, a);
        }
        return Reply(c, f.id, kStatusOk);
    }
    default: return bad("unknown");
    }
}

} // namespace rux::drive
