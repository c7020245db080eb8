; Runs when an event is triggered by the drive or by another task.
