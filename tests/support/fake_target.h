// Service fakes for the document tests: a target library that answers from a table, a library
// service and a message sink, each recording what it was asked.
#pragma once

#include "document/message_sink.h"
#include "target/library_service.h"
#include "target/target_library.h"

#include <map>
#include <vector>

namespace rux::test {

class CFakeTarget : public CTargetLibrary {
public:
    std::map<std::string, bool> extendedMemory; // type -> has extended memory
    std::string typeForDrive = "KESTREL";
    std::map<std::string, std::string> displayNames; // type -> its name on the screen
    bool haveHeader = false;
    CRuxHeader suiteHeader;
    std::vector<CRuxHeader> updates; // every header pushed, in order
    int library = 1, clone = 1, fixedPoint = 1, lightEdition = 0; // what the type supports
    std::vector<std::string> calls;

    std::string GetTypeFromDriveAndTarget(const std::string& drive, const std::string& target) override {
        calls.push_back("type:" + drive + "/" + target);
        return typeForDrive;
    }
    bool GetTypeInfos(const std::string& type, CTargetTypeInfo& info) override {
        calls.push_back("infos:" + type);
        auto it = extendedMemory.find(type);
        if (it == extendedMemory.end())
            return false;
        info.extendedMemory = it->second;
        return true;
    }
    std::string GetTypeDisplayName(const std::string& type) override {
        const auto it = displayNames.find(type);
        return it == displayNames.end() ? std::string() : it->second;
    }
    bool ReadHeader(const std::string& path, CRuxHeader& header) override {
        calls.push_back("read:" + path);
        if (haveHeader)
            header = suiteHeader;
        return haveHeader;
    }
    bool UpdateHeader(const std::string& path, const CRuxHeader& header) override {
        calls.push_back("update:" + path);
        updates.push_back(header);
        return true;
    }
    int GetLibrarySupport(const std::string&) override { return library; }
    int GetCloneSupport(const std::string&) override { return clone; }
    int GetFixedPointParamOpsSupport(const std::string&) override { return fixedPoint; }
    int IsValidHalmLiteFile(const std::string&) override { return lightEdition; }
};

// Answers every creation with `answer` and records the names; offers `names` for any target kind.
class CFakeLibraries : public CLibraryService {
public:
    int answer = 1;
    std::vector<std::string> created;
    std::vector<std::string> names;
    int askedKind = -1;
    int CreateLibrary(const std::string& name) override {
        created.push_back(name);
        return answer;
    }
    int GetAvailableLibraries(std::vector<std::string>& out, int kind) override {
        askedKind = kind;
        out = names;
        return static_cast<int>(out.size());
    }
};

class CRecordingSink : public CMessageSink {
public:
    std::vector<int> ids;
    std::vector<std::string> texts;
    void ShowMessage(int id, const std::string& text) override {
        ids.push_back(id);
        texts.push_back(text);
    }
};

} // namespace rux::test
