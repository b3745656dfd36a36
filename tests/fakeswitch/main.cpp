// fakeswitch: runs a fleet of simulated switches until SIGINT or SIGTERM.
// Prints "ready <port>" on stdout once the socket is bound.
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/fakeswitch/ScanResponder.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <sstream>

#ifndef DEFAULT_DEVICES
#define DEFAULT_DEVICES "devices.dev"
#endif

using namespace FakeSwitch;

namespace {

void Usage()
{
    std::cerr << "usage: fakeswitch --base-ip IP [--count N] [--bind IP] [--port N] [--netmask MASK]\n"
                 "       [--gateway IP] [--base-mac MAC] [--devices FILE] [--model-index I[,J...] | all]\n"
                 "       [--model PRODUCT-ID] [--smtp-recipients N] [--user NAME] [--password PW]\n"
                 "       [--name-prefix TEXT] [--reboot-silence-ms N] [--scan-interface NAME [--scan-malformed 1]]\n"
                 "       [--mac-table N]  (learned addresses per switch, up to 65536)\n"
                 "Switch i (from 0) has address base-ip + i and MAC base-mac + i. The switches answer as\n"
                 "the models of --devices (default: " DEFAULT_DEVICES ") listed by\n"
                 "--model-index (default 0; \"all\": every model with a product id), in turn; --count\n"
                 "defaults to one switch per model listed. --model PRODUCT-ID makes every switch announce\n"
                 "that product id instead, with no ports (a model the console does not know).\n"
                 "The socket is bound to --bind (default 0.0.0.0); bound to one address it receives no\n"
                 "broadcasts. With --scan-interface the switches also answer the raw Ethernet scan on that\n"
                 "interface, each reply preceded by every malformed kind with --scan-malformed 1.\n";
}

// The models named by "I[,J...]" or "all"; false on an index the file lacks.
bool PickModels(const std::vector<TModel> &models, const std::string &list, std::vector<TModel> &picked)
{
    if (list == "all") {
        for (const TModel &m : models)
            if (!m.ProductIds.empty())
                picked.push_back(m);
        return !picked.empty();
    }
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ',');) {
        char *end = nullptr;
        const long i = strtol(item.c_str(), &end, 10);
        if (item.empty() || *end || i < 0 || size_t(i) >= models.size() || models[size_t(i)].ProductIds.empty())
            return false;
        picked.push_back(models[size_t(i)]);
    }
    return !picked.empty();
}

TMac AddToMac(TMac mac, uint32_t n)
{
    uint32_t low = (uint32_t(mac[3]) << 16 | uint32_t(mac[4]) << 8 | mac[5]) + n;
    mac[3] = uint8_t(low >> 16);
    mac[4] = uint8_t(low >> 8);
    mac[5] = uint8_t(low);
    return mac;
}

// The system object identifier's suffix, with the enterprise number of the
// switch family that the console manages.
constexpr const char *SupportedObjectId = "32473.1.1";

} // namespace

int main(int argc, char **argv)
{
    uint32_t bindIp = 0, baseIp = 0, netmask = 0xFFFFFF00, gateway = 0;
    long port = ProtocolPort, count = -1, rebootMs = 2000, recipients = -1;
    TMac baseMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
    std::string productId, devicesFile = DEFAULT_DEVICES, modelList = "0", user = "admin", password = "admin",
                           namePrefix = "Switch-", scanInterface;
    bool scanMalformed = false;
    long macTable = -1;
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        if (i + 1 >= argc) {
            Usage();
            return 2;
        }
        std::string value = argv[++i];
        bool ok = true;
        if (opt == "--bind")
            ok = (bindIp = ParseIp(value)) != 0 || value == "0.0.0.0";
        else if (opt == "--base-ip")
            ok = (baseIp = ParseIp(value)) != 0;
        else if (opt == "--netmask")
            ok = (netmask = ParseIp(value)) != 0;
        else if (opt == "--gateway")
            gateway = ParseIp(value);
        else if (opt == "--port")
            ok = (port = strtol(value.c_str(), nullptr, 10)) >= 0 && port < 65536;
        else if (opt == "--count")
            ok = (count = strtol(value.c_str(), nullptr, 10)) > 0 && count <= 65536;
        else if (opt == "--reboot-silence-ms")
            ok = (rebootMs = strtol(value.c_str(), nullptr, 10)) >= 0;
        else if (opt == "--base-mac")
            ok = ParseMac(value, baseMac);
        else if (opt == "--model")
            productId = value;
        else if (opt == "--devices")
            devicesFile = value;
        else if (opt == "--model-index")
            modelList = value;
        else if (opt == "--smtp-recipients")
            ok = (recipients = strtol(value.c_str(), nullptr, 10)) >= 0 && recipients <= 64;
        else if (opt == "--user")
            user = value;
        else if (opt == "--password")
            password = value;
        else if (opt == "--name-prefix")
            namePrefix = value;
        else if (opt == "--scan-interface")
            scanInterface = value;
        else if (opt == "--mac-table")
            ok = (macTable = strtol(value.c_str(), nullptr, 10)) >= 0 && macTable <= 65536;
        else if (opt == "--scan-malformed")
            scanMalformed = value == "1";
        else
            ok = false;
        if (!ok) {
            std::cerr << "fakeswitch: bad option " << opt << " " << value << "\n";
            Usage();
            return 2;
        }
    }
    if (!baseIp) {
        Usage();
        return 2;
    }

    // The models in turn, or one product id of no model.
    std::vector<TModel> models;
    if (!productId.empty()) {
        models.resize(1);
        models[0].ProductIds = {productId};
    } else if (!PickModels(LoadModels(devicesFile), modelList, models)) {
        std::cerr << "fakeswitch: no model " << modelList << " with a product id in " << devicesFile << "\n";
        return 2;
    }
    if (count < 0)
        count = long(models.size());

    // Block the stop signals before the fleet's thread starts so only sigwait sees them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    TFleet fleet(bindIp, uint16_t(port));
    fleet.SetRebootSilence(std::chrono::milliseconds(rebootMs));
    for (long i = 0; i < count; ++i) {
        const TModel &model = models[size_t(i) % models.size()];
        TSwitchSettings s;
        s.Mac = AddToMac(baseMac, uint32_t(i));
        s.ProductId = model.ProductIds.front();
        s.Model = model.Type;
        if (recipients >= 0)
            s.Model.SmtpRecipientNum = uint32_t(recipients);
        s.SecondGeneration = model.SecondGeneration;
        s.ObjectId = SupportedObjectId;
        s.Factory.Name = namePrefix + std::to_string(i + 1);
        s.Factory.Ip = baseIp + uint32_t(i);
        s.Factory.Netmask = netmask;
        s.Factory.Gateway = gateway;
        s.Factory.User = user;
        s.Factory.Password = password;
        if (macTable >= 0)
            s.MacTableEntries = size_t(macTable);
        fleet.Add(s);
    }
    std::string error;
    if (!fleet.Start(&error)) {
        std::cerr << "fakeswitch: " << error << "\n";
        return 1;
    }
    TScanResponder scan([&fleet] { return fleet.Identities(); });
    if (scanMalformed)
        scan.SetFaults({std::begin(AllScanFaults), std::end(AllScanFaults)});
    if (!scanInterface.empty() && !scan.Start(scanInterface, &error)) {
        std::cerr << "fakeswitch: " << error << "\n";
        return 1;
    }
    std::cout << "ready " << fleet.Port() << std::endl;
    int sig = 0;
    sigwait(&stop, &sig);
    scan.Stop();
    fleet.Stop();
    return 0;
}
