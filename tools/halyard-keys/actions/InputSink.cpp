#include "InputSink.h"

#include "KeyInput.h"
#include "RunCommand.h"
#include "ShowProgram.h"

bool SystemInputSink::Send(const std::vector<INPUT>& inputs, std::string* error)
{
    return SendInputs(inputs, error);
}

bool SystemInputSink::Run(const std::string& commandLine, std::string* error)
{
    return RunCommand(commandLine, error);
}

bool SystemInputSink::Show(const std::string& commandLine, std::string* error)
{
    return ShowProgram(commandLine, error);
}

void SystemInputSink::ReleaseIfDown(const std::vector<WORD>& keys)
{
    ::ReleaseIfDown(keys);
}
