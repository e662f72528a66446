#include "AudioTestUtil.h"

#include "audio/PulseClient.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace
{
using AudioDevices = PulseTest;

const CAudioDevice* Named(const std::vector<CAudioDevice>& devices, const std::string& strName)
{
    const auto it = std::find_if(devices.begin(), devices.end(),
                                 [&](const CAudioDevice& device) { return device.m_strName == strName; });
    return it != devices.end() ? &*it : nullptr;
}

// What a call printed on the standard output and error.
template <class F> std::string Printed(F call)
{
    std::fflush(nullptr);
    FILE* pFile = std::tmpfile();
    const int hOut = dup(STDOUT_FILENO);
    const int hErr = dup(STDERR_FILENO);
    dup2(fileno(pFile), STDOUT_FILENO);
    dup2(fileno(pFile), STDERR_FILENO);
    call();
    std::fflush(nullptr);
    dup2(hOut, STDOUT_FILENO);
    dup2(hErr, STDERR_FILENO);
    close(hOut);
    close(hErr);
    std::string strText(static_cast<std::size_t>(ftell(pFile)), '\0');
    std::rewind(pFile);
    strText.resize(std::fread(strText.data(), 1, strText.size(), pFile));
    std::fclose(pFile);
    return strText;
}
} // namespace

TEST_F(AudioDevices, ListsOutputsAndInputsByDescriptionAndMonitorsOnlyWhenAsked)
{
    ASSERT_GE(m_Server.LoadNullSink("rig", "USB Audio CODEC"), 0);
    CPulseClient client("Skrivel");
    std::vector<CAudioDevice> inputs;
    std::vector<CAudioDevice> outputs;
    EXPECT_EQ(Printed([&] { ASSERT_TRUE(client.ListDevices(inputs, outputs)) << client.GetError(); }), "");
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(outputs[0].m_strName, "skt");
    EXPECT_EQ(outputs[0].m_strDescription, "Skrivel test output");
    EXPECT_TRUE(outputs[0].m_bDefault);
    EXPECT_EQ(outputs[1].m_strDescription, "USB Audio CODEC");
    EXPECT_FALSE(outputs[1].m_bDefault);
    EXPECT_TRUE(inputs.empty());

    ASSERT_TRUE(client.ListDevices(inputs, outputs, true));
    ASSERT_EQ(inputs.size(), 2u);
    const CAudioDevice* pMonitor = Named(inputs, "rig.monitor");
    ASSERT_NE(pMonitor, nullptr);
    EXPECT_EQ(pMonitor->m_strDescription, "Monitor of USB Audio CODEC");
    EXPECT_TRUE(pMonitor->m_bMonitor);
    EXPECT_EQ(outputs.size(), 2u);
}

TEST_F(AudioDevices, WithoutAServerSaysSoQuietlyAndFindsItOnceItIsThere)
{
    m_Server.Stop();
    CPulseClient client("Skrivel");
    std::vector<CAudioDevice> inputs;
    std::vector<CAudioDevice> outputs;
    EXPECT_EQ(Printed([&] { EXPECT_FALSE(client.ListDevices(inputs, outputs)); }), "");
    EXPECT_EQ(client.GetError().rfind("Can't reach the sound server: ", 0), 0u) << client.GetError();
    CPlaybackStream playback(client);
    EXPECT_FALSE(playback.Open("skrivel-test", ""));
    EXPECT_EQ(playback.GetError(), client.GetError());

    ASSERT_TRUE(m_Server.Start());
    ASSERT_GE(m_Server.LoadNullSink("skt", "Skrivel test output"), 0);
    ASSERT_TRUE(client.ListDevices(inputs, outputs)) << client.GetError();
    EXPECT_EQ(outputs.size(), 1u);
}

TEST_F(AudioDevices, AStreamOnADeviceThatIsNotThereNamesIt)
{
    CPulseClient client("Skrivel");
    CPlaybackStream playback(client);
    EXPECT_FALSE(playback.Open("skrivel-test", "alsa_output.usb-gone"));
    EXPECT_EQ(playback.GetError(), "No sound output named alsa_output.usb-gone");
    EXPECT_FALSE(playback.IsOpen());
    EXPECT_FALSE(playback.Write(Tone(1000, 100).data(), 100));
    CCaptureStream capture(client);
    EXPECT_FALSE(capture.Open("skrivel-test", "alsa_input.usb-gone"));
    EXPECT_EQ(capture.GetError(), "No sound input named alsa_input.usb-gone");

    // The defaults: the output, and for the input, as the server has no other, its monitor.
    ASSERT_TRUE(playback.Open("skrivel-test", "")) << playback.GetError();
    EXPECT_EQ(playback.GetDeviceName(), "skt");
    ASSERT_TRUE(capture.Open("skrivel-test", "")) << capture.GetError();
    EXPECT_EQ(capture.GetDeviceName(), "skt.monitor");
}
