#pragma once

class Application;
class InstanceLock;

// Creates the client's long-lived objects in their fixed order, serves show requests of later
// starts, and runs the event loop until the main window ends the client.
void runClient(Application& app, InstanceLock& lock);
