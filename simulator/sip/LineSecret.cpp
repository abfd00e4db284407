#include "simulator/sip/LineSecret.h"

#include <sys/stat.h>

#include <libsecret/secret.h>

#include <cstdlib>

namespace tvxsim::sip {

namespace {

// Items stored with `secret-tool store --label=... service tvxusb account sip:user@domain`.
const SecretSchema *LineSchema()
{
    static const SecretSchema schema = {"tvxusb.line",
                                        SECRET_SCHEMA_DONT_MATCH_NAME,
                                        {{"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};
    return &schema;
}

// Whether a session bus can be reached without starting one: its address
// is set, or the user's runtime folder holds its socket.
bool HaveSessionBus()
{
    const char *address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0')
        return true;
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0')
        return false;
    struct stat st {};
    const std::string socket = std::string(runtime) + "/bus";
    return stat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

struct Lookup {
    bool done = false;
    gchar *password = nullptr;
    std::string error;
};

void LookupDone(GObject *, GAsyncResult *result, gpointer data)
{
    auto *lookup = static_cast<Lookup *>(data);
    GError *error = nullptr;
    lookup->password = secret_password_lookup_finish(result, &error);
    if (error != nullptr) {
        lookup->error = error->message;
        g_error_free(error);
    }
    lookup->done = true;
}

gboolean TimedOut(gpointer data)
{
    g_cancellable_cancel(static_cast<GCancellable *>(data));
    return G_SOURCE_REMOVE;
}

}  // namespace

bool LookUpKeyring(std::string_view account, int timeoutMs, SecretText &out, std::string &why)
{
    if (!HaveSessionBus()) {
        why = "no session bus";
        return false;
    }
    // A private main context: the lookup runs here, on this thread, and
    // nothing of it is left once it returns.
    GMainContext *context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GCancellable *cancellable = g_cancellable_new();
    GSource *timer = g_timeout_source_new(static_cast<guint>(std::max(timeoutMs, 1)));
    g_source_set_callback(timer, TimedOut, cancellable, nullptr);
    g_source_attach(timer, context);

    Lookup lookup;
    const std::string uri(account);
    secret_password_lookup(
        LineSchema(), cancellable, LookupDone, &lookup, "service", "tvxusb", "account", uri.c_str(), nullptr);
    while (!lookup.done)
        g_main_context_iteration(context, TRUE);

    g_source_destroy(timer);
    g_source_unref(timer);
    g_object_unref(cancellable);
    g_main_context_pop_thread_default(context);
    // Whatever the bus connection left on the context goes with it.
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_unref(context);

    if (lookup.password == nullptr) {
        why = lookup.error.empty() ? "no password stored for " + uri : lookup.error;
        return false;
    }
    out.Set(lookup.password);
    secret_password_free(lookup.password);
    return !out.Empty();
}

}  // namespace tvxsim::sip
